#include "model/Music_InData.h"

#include "model/ChannelRecord.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/FrameBuilders.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "model/InputTexts.h"
#include "platform/sys/Archive.h"
#include "platform/sys/Gbk.h"

#include <cstring>
#include <mutex>

namespace {

constexpr int kBandCount = 31;

// Record bytes of the main block (31), threshold (33) and block 34.
constexpr int kPolarityByte = 249;
constexpr int kEqModeByte = 250;
constexpr int kOnOffByte = 251;
constexpr int kDelayBytes = 252;
constexpr int kGainBytes = 254;
constexpr int kThresholdByte = 264;
constexpr int kGroupBWordBytes = 272;
constexpr int kGroupBByte1 = 274;
constexpr int kGroupBByte2 = 275;

} // namespace

CMusic_InData::CMusic_InData() = default;
CMusic_InData::~CMusic_InData() = default;

void CMusic_InData::InitEQ(int lastBand, int cutBlock, int lowPassHz) {
    m_EQ.InitMusicLayout(lastBand, cutBlock, lowPassHz);
}

// ---- Setters -----------------------------------------------------------------------

void CMusic_InData::SetName(const CString& name) {
    std::lock_guard lock(g_csModel);
    m_strName = name;
    m_bNamePending = g_bOnline;
}

void CMusic_InData::SetGain(int gain) {
    std::lock_guard lock(g_csModel);
    m_nGain = gain;
    m_bMainPending = g_bOnline;
}

void CMusic_InData::SetOnOff(int on) {
    std::lock_guard lock(g_csModel);
    m_nOnOff = on;
    m_bMainPending = g_bOnline;
}

void CMusic_InData::SetEQSwitch(int mode) {
    std::lock_guard lock(g_csModel);
    m_nEqMode = mode;
    SetBandsGainOnly(mode);
    m_bMainPending = g_bOnline;
}

void CMusic_InData::SetThreshold(int threshold) {
    std::lock_guard lock(g_csModel);
    m_nThreshold = threshold;
    m_bThresholdPending = g_bOnline;
}

void CMusic_InData::SetAllPending(int v) {
    std::lock_guard lock(g_csModel);
    m_bMainPending = v;
    m_bNamePending = v;
    m_bThresholdPending = v;
    m_bGroupBPending = v;
    StepAllSentFreq(m_EQ, v);
}

void CMusic_InData::SetBandsGainOnly(int mode) {
    for (int k = 0; k < kBandCount; ++k)
        GetBand(k)->SetGainOnlyLabel(mode);
}

// ---- Equaliser set ------------------------------------------------------------------

int CMusic_InData::GetBandCount() const {
    return static_cast<int>(m_EQ.GetSize()) - 2;
}

CFilter* CMusic_InData::GetBand(int index) const {
    return FilterAt(m_EQ, index);
}

CFilter* CMusic_InData::GetHPF() const {
    return HighPassOf(m_EQ);
}

CFilter* CMusic_InData::GetLPF() const {
    return LowPassOf(m_EQ);
}

void CMusic_InData::SetAllBandsSwitch(int bypass) {
    std::lock_guard lock(g_csModel);
    for (int k = 0; k < kBandCount; ++k)
        GetBand(k)->SetBypass(bypass);
}

int CMusic_InData::UpdateAllBandsState() {
    int flat = 1;
    for (int k = 0; k < kBandCount; ++k)
        flat = flat && GetBand(k)->IsFlatOrBypassed();
    m_bAllBandsFlat = flat;
    return flat;
}

// ---- Response curve --------------------------------------------------------------------

void CMusic_InData::SetCurveRect(const CRect& rect) {
    m_nGraphHeight = rect.Height();
    m_nGraphWidth = rect.Width();
    for (int i = 0; i < kFreqSteps; ++i) {
        m_ptCurve[i] = CPoint(FreqToPos(g_FreqTable[i + 1], m_nGraphWidth) + 40, m_nGraphHeight / 2);
        m_ptfCurve[i].y = m_EQ.GetSumCurveF()[i].y;
    }
    m_EQ.SetCurveRect(rect);
    RecalcCurve();
}

void CMusic_InData::RecalcCurve() {
    m_nCurveYOffset = GainToPos(0, m_nGraphHeight) + 10;
    m_EQ.ComputeSumCurve();
    CopySumCurveY(m_EQ, m_ptCurve.data(), m_ptfCurve.data());
    for (int i = 0; i < kFreqSteps; ++i)
        m_ptfCurve[i].x = static_cast<float>(FreqToPosF(g_FreqTable[i + 1], m_nGraphWidth) + 40.0);
}

// ---- Packing and loading ------------------------------------------------------------------

BYTE* CMusic_InData::Record() const {
    return g_DeviceImage + MusicRecordOffset(m_nChannel);
}

std::unique_ptr<CSendData> CMusic_InData::SendMain(bool send) {
    CModelLock lock(send);
    BYTE* record = Record();
    record[kOnOffByte] = static_cast<BYTE>(m_nOnOff);
    record[kPolarityByte] = static_cast<BYTE>(m_nPolarity);
    PutLe16(record + kGainBytes, static_cast<unsigned>(GetEffectiveGain()));
    PutLe16(record + kDelayBytes, static_cast<unsigned>(m_nDelay));
    record[kEqModeByte] = static_cast<BYTE>(m_nEqMode);
    if (!send)
        return nullptr;
    return BuildBandFrame(DATA_MUSIC_INPUT, m_nChannel, m_nMainBlock);
}

std::unique_ptr<CSendData> CMusic_InData::SendThreshold(bool send) {
    CModelLock lock(send);
    Record()[kThresholdByte] = static_cast<BYTE>(m_nThreshold);
    if (!send)
        return nullptr;
    return BuildBandFrame(DATA_MUSIC_INPUT, m_nChannel, m_nThresholdBlock);
}

std::unique_ptr<CSendData> CMusic_InData::SendBand(int band, int block) {
    CModelLock lock(true);
    const auto bytes = m_EQ.PackBand(band);
    std::memcpy(Record() + band * kBlockSize, bytes.data(), kBlockSize);
    return BuildBandFrame(DATA_MUSIC_INPUT, m_nChannel, block);
}

void CMusic_InData::PackCrossover() {
    std::lock_guard lock(g_csModel);
    const auto bytes = CrossoverBytes(*GetHPF(), *GetLPF());
    std::memcpy(Record() + kCrossoverBlock * kBlockSize, bytes.data(), bytes.size());
}

void CMusic_InData::PackGroupB() {
    std::lock_guard lock(g_csModel);
    BYTE* record = Record();
    PutLe16(record + kGroupBWordBytes, static_cast<unsigned>(m_nGroupBWord));
    record[kGroupBByte1] = static_cast<BYTE>(m_nGroupBByte1);
    record[kGroupBByte2] = static_cast<BYTE>(m_nGroupBByte2);
}

void CMusic_InData::PackAll() {
    CheckNameLength();
    PackRecord();
}

BOOL CMusic_InData::CheckNameLength() const {
    return CheckTextLength(GetName(), kBlockSize);
}

void CMusic_InData::PackRecord() {
    std::lock_guard lock(g_csModel);
    BYTE* record = Record();
    for (int k = 0; k < kBandCount; ++k) {
        const auto bytes = m_EQ.PackBand(k);
        std::memcpy(record + k * kBlockSize, bytes.data(), kBlockSize);
    }
    platform::StoreGbkField(GetName(), record + kNameBlock * kBlockSize, kBlockSize);
    SendMain(false);
    PackCrossover();
    PackGroupB();
    SendThreshold(false);
}

void CMusic_InData::LoadFromDevice(const BYTE* record) {
    std::lock_guard lock(g_csModel);
    for (int k = 0; k < kBandCount; ++k)
        m_EQ.UnpackBand(record + k * kBlockSize, k);
    m_nOnOff = record[kOnOffByte];
    m_nPolarity = record[kPolarityByte];
    m_nGain = GetLe16Signed(record + kGainBytes);
    m_nDelay = GetLe16Signed(record + kDelayBytes);
    m_nEqMode = record[kEqModeByte];
    SetBandsGainOnly(m_nEqMode);
    LoadCrossoverBytes(*GetHPF(), *GetLPF(), record + kCrossoverBlock * kBlockSize, true);
    m_nThreshold = record[kThresholdByte];
    m_nGroupBWord = GetLe16Signed(record + kGroupBWordBytes);
    m_nGroupBByte1 = record[kGroupBByte1];
    m_nGroupBByte2 = record[kGroupBByte2];
    // Block 35 is not read: the input keeps its own name.
}

// ---- Texts --------------------------------------------------------------------------------

CString CMusic_InData::FormatGain() const {
    return FormatInputGain(m_nGain);
}

CString CMusic_InData::FormatOnOff() const {
    return FormatInputOnOff(m_nOnOff);
}

CString CMusic_InData::FormatThreshold() const {
    return FormatInputThreshold(m_nThreshold);
}

// ---- Archive ------------------------------------------------------------------------------

void CMusic_InData::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strName;
        for (int value : {m_nOnOff, m_nPolarity, m_nGain, m_nDelay, m_nThreshold, m_nGroupBWord,
                          m_nGroupBByte1, m_nGroupBByte2})
            ar << value;
    } else {
        ar >> m_strName;
        for (int* value : {&m_nOnOff, &m_nPolarity, &m_nGain, &m_nDelay, &m_nThreshold, &m_nGroupBWord,
                           &m_nGroupBByte1, &m_nGroupBByte2})
            ar >> *value;
        m_bMute = m_nGain == 0;
    }
    m_EQ.Serialize(ar);
}

// ---- Flags the change tracker takes ------------------------------------------------------

void CMusic_InData::SetMainPending(int v) {
    std::lock_guard lock(g_csModel);
    m_bMainPending = v;
}

void CMusic_InData::SetThresholdPending(int v) {
    std::lock_guard lock(g_csModel);
    m_bThresholdPending = v;
}
