#include "model/MIC_InData.h"

#include "model/ChannelRecord.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/Globals.h"
#include "model/InputTexts.h"
#include "platform/sys/Archive.h"
#include "platform/sys/Gbk.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

constexpr int kBandCount = 9;

// Record bytes.
constexpr int kLevelByte = 72;
constexpr int kPolarityByte = 73;
constexpr int kEqModeByte = 74;
constexpr int kOnOffByte = 75;
constexpr int kDelayBytes = 76;
constexpr int kGainBytes = 78;
constexpr int kCrossoverBytes = 80;
constexpr int kThresholdByte = 88;
constexpr int kGroupBWordBytes = 96;
constexpr int kGroupBByte1 = 98;
constexpr int kGroupBByte2 = 99;
constexpr int kNameBytes = 104;

// The whole GBK characters of `name` that fit in the field, zero-padded.
std::array<BYTE, CMIC_InData::kNameSize> NameField(const CString& name) {
    std::array<BYTE, CMIC_InData::kNameSize> field{};
    const auto gbk = platform::Utf8ToGbk(name);
    if (!gbk)
        return field;
    std::size_t used = 0;
    while (used < gbk->size()) {
        const std::size_t width = static_cast<BYTE>((*gbk)[used]) >= 0x81 ? 2 : 1;
        if (used + width > field.size())
            break;
        used += width;
    }
    std::memcpy(field.data(), gbk->data(), used);
    return field;
}

} // namespace

CMIC_InData::CMIC_InData() = default;
CMIC_InData::~CMIC_InData() = default;

void CMIC_InData::InitEQ(int lastBand, int cutBlock, int lowPassHz) {
    m_EQ.InitMicLayout(lastBand, cutBlock, lowPassHz);
}

void CMIC_InData::SetName(const CString& name) {
    std::lock_guard lock(g_csModel);
    m_Name = NameField(name);
    m_bNamePending = g_bOnline;
}

CString CMIC_InData::GetName() const {
    return platform::GbkFieldToUtf8(m_Name.data(), m_Name.size());
}

void CMIC_InData::SetAllPending(int v) {
    std::lock_guard lock(g_csModel);
    m_bMainPending = v;
    m_bNamePending = v;
    m_bThresholdPending = v;
    m_bGroupBPending = v;
    StepAllSentFreq(m_EQ, v);
}

CFilter* CMIC_InData::GetBand(int index) const {
    return FilterAt(m_EQ, index);
}

CFilter* CMIC_InData::GetHPF() const {
    return HighPassOf(m_EQ);
}

CFilter* CMIC_InData::GetLPF() const {
    return LowPassOf(m_EQ);
}

void CMIC_InData::RecalcCurve() {
    m_nCurveYOffset = GainToPos(0, m_nGraphHeight) + 10;
    m_EQ.ComputeSumCurve();
    CopySumCurveY(m_EQ, m_ptCurve.data(), m_ptfCurve.data());
}

// ---- Packing and loading ------------------------------------------------------------------

BYTE* CMIC_InData::Record() const {
    return g_DeviceImage + kMicRecordOffset;
}

void CMIC_InData::LoadFromDevice(const BYTE* record) {
    std::lock_guard lock(g_csModel);
    for (int k = 0; k < kBandCount; ++k)
        m_EQ.UnpackBand(record + k * kBlockSize, k);
    m_Name = {};
    const BYTE* name = record + kNameBytes;
    std::copy(name, std::find(name, name + kNameSize, 0), m_Name.begin());
    m_nLevel = record[kLevelByte];
    m_nPolarity = record[kPolarityByte];
    m_nOnOff = record[kOnOffByte];
    m_nEqMode = record[kEqModeByte];
    m_nDelay = GetLe16Signed(record + kDelayBytes);
    m_nGain = GetLe16Signed(record + kGainBytes);
    m_bMute = m_nGain == 0;
    m_nThreshold = record[kThresholdByte];
    m_wGroupBWord = GetLe16(record + kGroupBWordBytes);
    m_nGroupBByte1 = record[kGroupBByte1];
    m_nGroupBByte2 = record[kGroupBByte2];
    LoadCrossoverBytes(*GetHPF(), *GetLPF(), record + kCrossoverBytes, true);
}

void CMIC_InData::PackAll() {
    CheckNameLength();
    PackRecord();
}

BOOL CMIC_InData::CheckNameLength() const {
    return CheckTextLength(GetName(), kNameSize);
}

void CMIC_InData::PackRecord() {
    std::lock_guard lock(g_csModel);
    BYTE* record = Record();
    for (int k = 0; k < kBandCount; ++k) {
        const auto bytes = m_EQ.PackBand(k);
        std::memcpy(record + k * kBlockSize, bytes.data(), kBlockSize);
    }
    platform::StoreGbkField(GetName(), record + kNameBytes, kNameSize);
    PackMain();
    PackCrossover();
    PackGroupB();
    PackThreshold();
}

void CMIC_InData::PackMain() {
    std::lock_guard lock(g_csModel);
    BYTE* record = Record();
    record[kLevelByte] = static_cast<BYTE>(m_nLevel);
    record[kEqModeByte] = static_cast<BYTE>(m_nEqMode);
    record[kOnOffByte] = static_cast<BYTE>(m_nOnOff);
    record[kPolarityByte] = static_cast<BYTE>(m_nPolarity);
    PutLe16(record + kDelayBytes, static_cast<unsigned>(m_nDelay));
    PutLe16(record + kGainBytes, static_cast<unsigned>(GetEffectiveGain()));
}

void CMIC_InData::PackCrossover() {
    std::lock_guard lock(g_csModel);
    const auto bytes = CrossoverBytes(*GetHPF(), *GetLPF());
    std::memcpy(Record() + kCrossoverBytes, bytes.data(), bytes.size());
}

void CMIC_InData::PackGroupB() {
    std::lock_guard lock(g_csModel);
    BYTE* record = Record();
    PutLe16(record + kGroupBWordBytes, m_wGroupBWord);
    record[kGroupBByte1] = static_cast<BYTE>(m_nGroupBByte1);
    record[kGroupBByte2] = static_cast<BYTE>(m_nGroupBByte2);
}

void CMIC_InData::PackThreshold() {
    std::lock_guard lock(g_csModel);
    Record()[kThresholdByte] = static_cast<BYTE>(m_nThreshold);
}

// ---- Texts --------------------------------------------------------------------------------

CString CMIC_InData::FormatLevel() const {
    if (m_nLevel == 0)
        return g_bChinese ? " 关 " : " OFF ";
    char text[32];
    std::snprintf(text, sizeof text, g_bChinese ? " %d级" : " %dLevel", m_nLevel);
    return text;
}

CString CMIC_InData::FormatGain() const {
    return FormatInputGain(m_nGain);
}

CString CMIC_InData::FormatOnOff() const {
    return FormatInputOnOff(m_nOnOff);
}

CString CMIC_InData::FormatThreshold() const {
    return FormatInputThreshold(m_nThreshold);
}

// ---- Archive ------------------------------------------------------------------------------

void CMIC_InData::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << GetName();
        for (int value : {m_nLevel, m_nOnOff, m_nPolarity, m_nEqMode, m_nGain, m_nDelay, m_nThreshold})
            ar << value;
        ar << m_wGroupBWord;
        for (int value : {m_nGroupBByte1, m_nGroupBByte2, m_bAllBandsFlat})
            ar << value;
    } else {
        CString name;
        ar >> name;
        m_Name = NameField(name);
        for (int* value :
             {&m_nLevel, &m_nOnOff, &m_nPolarity, &m_nEqMode, &m_nGain, &m_nDelay, &m_nThreshold})
            ar >> *value;
        ar >> m_wGroupBWord;
        for (int* value : {&m_nGroupBByte1, &m_nGroupBByte2, &m_bAllBandsFlat})
            ar >> *value;
        m_bMute = m_nGain == 0;
    }
    m_EQ.Serialize(ar);
}
