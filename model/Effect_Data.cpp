#include "model/Effect_Data.h"

#include "model/ChannelRecord.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/Globals.h"
#include "platform/sys/Archive.h"
#include "platform/sys/Gbk.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

constexpr int kBandCount = 3;

// Offsets from image byte 32, where the area starts.
constexpr int At(int imageByte) {
    return imageByte - kSystemRecordOffset;
}
constexpr int kCrossoverBytes = At(152);
constexpr int kNameBytes = At(176);
constexpr int kNameSize = 8;

CString Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

CEffect_Data::CEffect_Data() : m_clrCurve(g_clrEffectCurve) {
    m_EQ.InitEffectLayout(2, 8, 20000);
}

CEffect_Data::~CEffect_Data() = default;

std::array<CEffect_Data::Param, 11> CEffect_Data::Params() {
    return {{{&m_nA1, 160},
             {&m_nA2, 161},
             {&m_nA5, 162},
             {&m_nA3, 163},
             {&m_nA4, 166},
             {&m_nB1, 168},
             {&m_nB2, 169},
             {&m_nB3, 170},
             {&m_nB4, 171},
             {&m_nB5, 172},
             {&m_nB6, 175}}};
}

void CEffect_Data::LoadFromDevice(const BYTE* area) {
    std::lock_guard lock(g_csModel);
    m_strName = BytesToString(area + kNameBytes, kNameSize);
    for (const auto& param : Params())
        *param.value = area[At(param.imageByte)];
    LoadCrossoverBytes(*GetHighPass(), *GetLowPass(), area + kCrossoverBytes, true);
    for (int k = 0; k < kBandCount; ++k)
        m_EQ.UnpackBand(area + k * kBlockSize, k);
}

void CEffect_Data::FillSendTable() {
    CheckNameLength();
    PackArea();
}

BOOL CEffect_Data::CheckNameLength() const {
    return CheckTextLength(GetName(), kNameSize);
}

void CEffect_Data::PackArea() {
    std::lock_guard lock(g_csModel);
    BYTE* area = g_DeviceImage + kSystemRecordOffset;
    platform::StoreGbkField(m_strName, area + kNameBytes, kNameSize);
    for (const auto& param : Params())
        area[At(param.imageByte)] = static_cast<BYTE>(*param.value);
    for (int k = 0; k < kBandCount; ++k) {
        const auto bytes = m_EQ.PackBand(k);
        std::memcpy(area + k * kBlockSize, bytes.data(), kBlockSize);
    }
    PackCrossover();
}

void CEffect_Data::PackCrossover() {
    std::lock_guard lock(g_csModel);
    const auto bytes = CrossoverBytes(*GetHighPass(), *GetLowPass());
    std::memcpy(g_DeviceImage + kSystemRecordOffset + kCrossoverBytes, bytes.data(), bytes.size());
}

void CEffect_Data::SetChanged(int v) {
    std::lock_guard lock(g_csModel);
    m_bNameChanged = v;
    m_bGroupAChanged = v;
    m_bGroupBChanged = v;
    StepAllSentFreq(m_EQ, v);
}

CFilter* CEffect_Data::GetFilter(int index) const {
    return FilterAt(m_EQ, index);
}

CFilter* CEffect_Data::GetHighPass() const {
    return HighPassOf(m_EQ);
}

CFilter* CEffect_Data::GetLowPass() const {
    return LowPassOf(m_EQ);
}

void CEffect_Data::UpdateCurvePoints() {
    m_EQ.ComputeSumCurve();
    CopySumCurveY(m_EQ, m_ptCurve.data(), m_ptfCurve.data());
}

// ---- Texts --------------------------------------------------------------------------------

CString CEffect_Data::GetParam1Text() const {
    if (m_nA1 < 100)
        return Format("R_%d%%", 100 - m_nA1);
    if (m_nA1 == 100)
        return "OFF";
    return Format("L_%d%%", m_nA1 - 100);
}

CString CEffect_Data::GetParam2Text() const {
    return Format("%dms", m_nA2 * 2);
}

CString CEffect_Data::GetParam3Text() const {
    return Format("%d%%", m_nA3);
}

CString CEffect_Data::GetParam4Text() const {
    return Format("%d", m_nA4);
}

CString CEffect_Data::GetParam5Text() const {
    return Format("%d%%", m_nA5);
}

CString CEffect_Data::GetParamB1Text() const {
    char text[32];
    std::snprintf(text, sizeof text, "%0.1fs", m_nB1 / 10.0);
    return text;
}

CString CEffect_Data::GetParamB2Text() const {
    return Format("%d%%", m_nB2);
}

CString CEffect_Data::GetParamB3Text() const {
    return Format("%d", m_nB3);
}

CString CEffect_Data::GetParamB4Text() const {
    return Format("%d%%", m_nB4);
}

CString CEffect_Data::GetParamB6Text() const {
    return Format("%dms", m_nB6);
}

// ---- Archive ------------------------------------------------------------------------------

void CEffect_Data::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    // B5 has no place in the archive.
    if (ar.IsStoring()) {
        ar << m_strName;
        for (int value :
             {m_nA1, m_nA2, m_nA5, m_nA3, m_nA4, m_nB1, m_nB2, m_nB3, m_nB4, m_nB6, m_bAllBandsFlat})
            ar << value;
    } else {
        ar >> m_strName;
        for (int* value : {&m_nA1, &m_nA2, &m_nA5, &m_nA3, &m_nA4, &m_nB1, &m_nB2, &m_nB3, &m_nB4, &m_nB6,
                           &m_bAllBandsFlat})
            ar >> *value;
    }
    m_EQ.Serialize(ar);
}
