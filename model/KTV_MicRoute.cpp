#include "model/KTV_MicRoute.h"

#include "model/Globals.h"

#include <cassert>

CKTV_MicRoute::CKTV_MicRoute() {
    auto& mic = *m_channels.emplace_back(std::make_unique<CMIC_InData>());
    mic.SetName("Mic 1");
    mic.SetCurveColour(RGB(255, 128, 51));
    mic.SetCurveArgb(g_clrMicCurves[0]);
    mic.SetChannel(0);
    mic.InitEQ(8, 10, 20000);
}

CKTV_MicRoute::~CKTV_MicRoute() = default;

CMIC_InData* CKTV_MicRoute::GetAt(int index) const {
    assert(index >= 0 && index < GetSize());
    return m_channels[std::size_t(index)].get();
}

void CKTV_MicRoute::LoadChannel(const BYTE* record, int index) {
    GetAt(index)->LoadFromDevice(record);
}

void CKTV_MicRoute::SetAllDirty(int value) {
    for (auto& channel : m_channels)
        channel->SetAllPending(value);
}

void CKTV_MicRoute::Serialize(CArchive& ar) {
    for (auto& channel : m_channels)
        channel->Serialize(ar);
}
