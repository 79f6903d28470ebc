#include "model/KTV_OutRoute.h"

#include "model/Globals.h"

#include <cassert>

namespace {

constexpr COLORREF kCurveColours[kOutputCount] = {
    RGB(255, 0, 0),   RGB(0, 192, 0),   RGB(128, 128, 192), RGB(255, 64, 255),
    RGB(0, 192, 192), RGB(192, 168, 0), RGB(125, 128, 0),   RGB(0, 0, 255),
    RGB(125, 128, 0), RGB(0, 0, 255),   RGB(0, 40, 200),    RGB(40, 0, 150),
};
constexpr const char* kNames[] = {"FL", "FR", "SL", "SR", "Center", "ULF"};

} // namespace

CKTV_OutRoute::CKTV_OutRoute() {
    for (int i = 0; i < kOutputCount; ++i) {
        auto& out = *m_channels.emplace_back(std::make_unique<CKTV_OutData>());
        out.SetColour(kCurveColours[i]);
        out.SetCurvePen(i < 8 ? g_clrOutCurves[i] : g_clrOutRouteExtra[i - 8]);
        if (i < int(std::size(kNames)))
            out.SetName(kNames[i]);
        // The drag mode given here is replaced by the speaker type's at once.
        out.CreateEQ(30, 32, 12, 20, 20000);
        out.SetSpeakerTypeDefaults(g_SpkTypeState[kSpkTypeOutputBase + i]);
        out.SetChannelIndex(i);
    }
}

CKTV_OutRoute::~CKTV_OutRoute() = default;

CKTV_OutData* CKTV_OutRoute::GetAt(int index) const {
    assert(index >= 0 && index < GetSize());
    return m_channels[std::size_t(index)].get();
}

void CKTV_OutRoute::LoadChannel(const BYTE* record, int index) {
    GetAt(index)->LoadFromRecord(record);
}

void CKTV_OutRoute::SetAllDirty(int value) {
    for (auto& channel : m_channels)
        channel->SetAllDirty(value);
}

void CKTV_OutRoute::Serialize(CArchive& ar) {
    for (auto& channel : m_channels)
        channel->Serialize(ar);
}
