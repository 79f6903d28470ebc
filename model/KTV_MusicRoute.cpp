#include "model/KTV_MusicRoute.h"

#include "model/Globals.h"

#include <cassert>

namespace {

constexpr COLORREF kCurveColours[kMusicInputCount] = {RGB(0, 255, 255), RGB(223, 18, 123), RGB(2, 123, 192),
                                                      RGB(255, 255, 0)};

} // namespace

CKTV_MusicRoute::CKTV_MusicRoute() {
    for (int i = 0; i < kMusicInputCount; ++i) {
        auto& music = *m_channels.emplace_back(std::make_unique<CMusic_InData>());
        music.SetName("Music " + std::to_string(i + 1));
        music.SetCurveColour(kCurveColours[i]);
        music.SetCurveArgb(g_clrMusicCurves[i]);
        // Only the first input starts with its own gain and its curve shown.
        if (i == 0)
            music.SetGain(450);
        music.SetChannel(i);
        music.InitEQ(30, 32, 20000);
        if (i != 0)
            music.SetDisplayFlag(0);
    }
}

CKTV_MusicRoute::~CKTV_MusicRoute() = default;

CMusic_InData* CKTV_MusicRoute::GetAt(int index) const {
    assert(index >= 0 && index < GetSize());
    return m_channels[std::size_t(index)].get();
}

void CKTV_MusicRoute::LoadChannel(const BYTE* record, int index) {
    GetAt(index)->LoadFromDevice(record);
}

void CKTV_MusicRoute::SetAllDirty(int value) {
    for (auto& channel : m_channels)
        channel->SetAllPending(value);
}

void CKTV_MusicRoute::Serialize(CArchive& ar) {
    for (auto& channel : m_channels)
        channel->Serialize(ar);
}
