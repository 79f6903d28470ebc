#include "model/KTV_OutData.h"

#include "model/ChannelRecord.h"
#include "model/DataDefine.h"
#include "model/Filter.h"
#include "model/FrameBuilders.h"
#include "model/FrameFormat.h"
#include "model/Globals.h"
#include "platform/sys/Archive.h"
#include "platform/sys/Gbk.h"

#include <cassert>
#include <cstring>
#include <mutex>

namespace {

// Default crossover of each speaker type: high-pass Hz, family, slope; low-pass
// Hz, family, slope.  Family 0 is Linkwitz-Riley, slope 3 is 24 dB/oct, 8 off.
struct DefaultCrossoverRow {
    WORD highHz;
    BYTE highFamily;
    BYTE highSlope;
    WORD lowHz;
    BYTE lowFamily;
    BYTE lowSlope;
};

constexpr DefaultCrossoverRow kTweeter{4000, 0, 3, 20000, 0, 8};
constexpr DefaultCrossoverRow kMidrange{500, 0, 3, 4000, 0, 3};
constexpr DefaultCrossoverRow kWoofer{80, 0, 3, 500, 0, 3};
constexpr DefaultCrossoverRow kMidTweeter{500, 0, 3, 20000, 0, 8};
constexpr DefaultCrossoverRow kMidWoofer{80, 0, 3, 4000, 0, 3};
constexpr DefaultCrossoverRow kSubwoofer{20, 0, 3, 70, 0, 3};
constexpr DefaultCrossoverRow kFullRange{20, 0, 3, 20000, 0, 8};

constexpr DefaultCrossoverRow kDefaultCrossovers[25] = {
    kFullRange,  // 0 none
    kTweeter,    // 1 FL tweeter
    kMidrange,   // 2 FL midrange
    kWoofer,     // 3 FL woofer
    kMidTweeter, // 4 FL midrange and tweeter
    kMidWoofer,  // 5 FL midrange and woofer
    kFullRange,  // 6 FL full
    kTweeter,    // 7 FR tweeter
    kMidrange,   // 8
    kWoofer,     // 9
    kMidTweeter, // 10
    kMidWoofer,  // 11
    kFullRange,  // 12 FR full
    kTweeter,    // 13 RL tweeter
    kWoofer,     // 14 RL woofer
    kFullRange,  // 15 RL full
    kTweeter,    // 16 RR tweeter
    kWoofer,     // 17 RR woofer
    kFullRange,  // 18 RR full
    kTweeter,    // 19 centre tweeter
    kWoofer,     // 20 centre woofer
    kFullRange,  // 21 centre full
    kSubwoofer,  // 22 left subwoofer
    kSubwoofer,  // 23 right subwoofer
    kSubwoofer,  // 24 subwoofer
};

bool IsTweeter(int type) {
    return type == 1 || type == 7 || type == 13 || type == 16 || type == 19;
}

} // namespace

CKTV_OutData::CKTV_OutData() = default;
CKTV_OutData::~CKTV_OutData() = default;

// ---- Set-up -----------------------------------------------------------------

void CKTV_OutData::CreateEQ(int lastBand, int cutBlock, int dragMode, int highPassHz, int lowPassHz) {
    m_EQ.InitOutputLayout(lastBand, cutBlock, dragMode, highPassHz, lowPassHz);
}

void CKTV_OutData::SetChannelIndex(int index) {
    std::lock_guard lock(g_csModel);
    m_nChannelIndex = index;
    if (index == 0 || index == 2 || index == 4) {
        m_bySourceA = 1;
        m_bSourceAOff = 0;
    } else if (index == 1 || index == 3 || index == 5) {
        m_bySourceB = 1;
        m_bSourceBOff = 0;
    }
}

BOOL CKTV_OutData::SetName(const CString& name) {
    // Checked here, on the GUI thread, against the name block's size; the
    // check tells the user when the name does not fit, before any lock.
    if (!CheckTextLength(name, kBlockSize))
        return FALSE;
    std::lock_guard lock(g_csModel);
    m_strName = name;
    m_bNameChanged = g_bOnline;
    return TRUE;
}

// ---- Setters that mark a block ------------------------------------------------

void CKTV_OutData::SetGain(WORD gain) {
    std::lock_guard lock(g_csModel);
    m_wGain = gain;
    m_bMuted = gain == 0;
    m_bBasicChanged = g_bOnline;
}

void CKTV_OutData::SetDelay(WORD delay) {
    std::lock_guard lock(g_csModel);
    m_wDelay = delay;
    m_bBasicChanged = g_bOnline;
}

void CKTV_OutData::SetEnable(BYTE on) {
    std::lock_guard lock(g_csModel);
    m_byEnable = on;
    m_bBasicChanged = g_bOnline;
}

void CKTV_OutData::SetPolarity(BYTE polarity) {
    std::lock_guard lock(g_csModel);
    m_byPolarity = polarity;
    m_bBasicChanged = g_bOnline;
}

void CKTV_OutData::SetBandsGainOnly(int mode) {
    for (int k = 0; k < kBandCount; ++k)
        GetBand(k)->SetGainOnlyLabel(mode);
}

void CKTV_OutData::TakeGainMode(const CKTV_OutData& source) {
    m_wGain = source.m_wGain;
    m_bMuted = m_wGain == 0;
    m_wDelay = source.m_wDelay;
    if (m_byEqMode != source.m_byEqMode) {
        m_byEqMode = source.m_byEqMode;
        SetBandsGainOnly(m_byEqMode);
    }
    m_bBasicChanged = g_bOnline;
}

void CKTV_OutData::SetEqMode(BYTE mode) {
    std::lock_guard lock(g_csModel);
    m_byEqMode = mode;
    SetBandsGainOnly(mode);
    const auto ownTag = g_OutLinkTable[1 + m_nChannelIndex];
    if (ownTag != 0) {
        for (int i = 0; i < kOutputCount; ++i) {
            if (i == m_nChannelIndex || g_OutLinkTable[1 + i] != ownTag)
                continue;
            if (auto* other = reinterpret_cast<CKTV_OutData*>(g_OutLinkTable[13 + i]))
                other->TakeGainMode(*this);
        }
    }
    m_bBasicChanged = g_bOnline;
}

void CKTV_OutData::SetLimiterThreshold(WORD value) {
    std::lock_guard lock(g_csModel);
    if (value == m_wLimiterThreshold)
        return;
    m_wLimiterThreshold = value;
    m_bLimiterChanged = g_bOnline;
}

void CKTV_OutData::SetLimiterAttack(WORD value) {
    std::lock_guard lock(g_csModel);
    if (value == m_wLimiterAttack)
        return;
    m_wLimiterAttack = value;
    m_bLimiterChanged = g_bOnline;
}

void CKTV_OutData::SetLimiterRelease(WORD value) {
    std::lock_guard lock(g_csModel);
    if (value == m_wLimiterRelease)
        return;
    m_wLimiterRelease = value;
    m_bLimiterChanged = g_bOnline;
}

void CKTV_OutData::SetMixLevel(int n, BYTE level) {
    std::lock_guard lock(g_csModel);
    assert(n >= 1 && n <= kMixLevelCount);
    if (m_byMix[n - 1] == level)
        return;
    m_byMix[n - 1] = level;
    if (n <= 8)
        m_bMixAChanged = g_bOnline;
    else if (n <= 16)
        m_bMixBChanged = g_bOnline;
    else
        m_bLimiterChanged = g_bOnline;
}

// ---- Speaker type and crossover ---------------------------------------------------

int CKTV_OutData::DefaultHighPassDragMode(int type) {
    return IsTweeter(type) ? 11 : 12;
}

CrossoverRecord CKTV_OutData::DefaultCrossover(int type) {
    const auto& row = type >= 0 && type <= 24 ? kDefaultCrossovers[type] : kFullRange;
    CrossoverRecord record{};
    PutLe16(&record[0], row.highHz);
    record[2] = row.highFamily;
    record[3] = row.highSlope;
    PutLe16(&record[4], row.lowHz);
    record[6] = row.lowFamily;
    record[7] = row.lowSlope;
    return record;
}

void CKTV_OutData::SetSpeakerType(int type) {
    std::lock_guard lock(g_csModel);
    m_bySpeakerType = static_cast<BYTE>(type);
    GetHighPass()->SetDragMode(DefaultHighPassDragMode(type));
}

void CKTV_OutData::SetSpeakerTypeDefaults(int type) {
    std::lock_guard lock(g_csModel);
    m_bySpeakerType = static_cast<BYTE>(type);
    GetHighPass()->SetDragMode(DefaultHighPassDragMode(type));
    const auto record = DefaultCrossover(type);
    ApplyCrossoverBytes(*GetHighPass(), *GetLowPass(), record.data(), false, 1);
}

void CKTV_OutData::SetSpeakerTypeCrossover(int type, const BYTE* crossover) {
    std::lock_guard lock(g_csModel);
    m_bySpeakerType = static_cast<BYTE>(type);
    ApplyCrossoverBytes(*GetHighPass(), *GetLowPass(), crossover, false, 1);
}

void CKTV_OutData::SetCrossover(const BYTE* crossover) {
    std::lock_guard lock(g_csModel);
    LoadCrossoverBytes(*GetHighPass(), *GetLowPass(), crossover, false);
}

CrossoverRecord CKTV_OutData::GetCrossover() const {
    return CrossoverBytes(*GetHighPass(), *GetLowPass());
}

// ---- Whole-set operations --------------------------------------------------------

void CKTV_OutData::BypassAllBands(int bypass) {
    std::lock_guard lock(g_csModel);
    for (int i = 0; i < m_EQ.GetSize(); ++i)
        GetBand(i)->SetBypass(bypass);
}

int CKTV_OutData::IsAllBypassed() {
    int all = 1;
    for (int i = 0; i < m_EQ.GetSize(); ++i) {
        if (!GetBand(i)->IsFlatOrBypassed()) {
            all = 0;
            break;
        }
    }
    m_bAllBypassed = all;
    return all;
}

void CKTV_OutData::CopyEQFrom(const CKTV_OutData& other) {
    std::lock_guard lock(g_csModel);
    m_EQ.CopyFrom(other.m_EQ);
    UpdateCurve();
}

void CKTV_OutData::SetAllDirty(int value) {
    std::lock_guard lock(g_csModel);
    m_bBasicChanged = value;
    m_bLimiterChanged = value;
    m_bMixBChanged = value;
    m_bMixAChanged = value;
    m_bSourceChanged = value;
    StepAllSentFreq(m_EQ, value);
}

int CKTV_OutData::TakeCrossoverChanged() {
    std::lock_guard lock(g_csModel);
    int changed = 0;
    for (CFilter* filter : {GetHighPass(), GetLowPass()}) {
        if (filter->IsChanged()) {
            filter->StepSentFreq(0);
            changed = 1;
        }
    }
    return changed;
}

LimiterRecord CKTV_OutData::GetLimiterRecord() const {
    LimiterRecord record{};
    record[0] = m_byMix[16];
    record[1] = m_byMix[17];
    PutLe16(&record[2], m_wLimiterAttack);
    PutLe16(&record[4], m_wLimiterRelease);
    return record;
}

// ---- Equaliser set ---------------------------------------------------------------------

CFilter* CKTV_OutData::GetBand(int index) const {
    return FilterAt(m_EQ, index);
}

CFilter* CKTV_OutData::GetHighPass() const {
    return HighPassOf(m_EQ);
}

CFilter* CKTV_OutData::GetLowPass() const {
    return LowPassOf(m_EQ);
}

int CKTV_OutData::GetHighPassIndex() const {
    HighPassOf(m_EQ); // asserts the element's type
    return m_EQ.GetSize() - 2;
}

int CKTV_OutData::GetLowPassIndex() const {
    LowPassOf(m_EQ);
    return m_EQ.GetSize() - 1;
}

// ---- Response curve --------------------------------------------------------------------

void CKTV_OutData::SetCurveRect(const CRect& rect) {
    m_nGraphHeight = rect.Height();
    m_nGraphWidth = rect.Width();
    for (int i = 0; i < kFreqSteps; ++i) {
        m_ptCurve[i] = CPoint(FreqToPos(g_FreqTable[i + 1], m_nGraphWidth) + 40, m_nGraphHeight / 2);
        m_ptfCurve[i].x = static_cast<float>(FreqToPosF(g_FreqTable[i + 1], m_nGraphWidth) + 40.0);
    }
    m_EQ.SetCurveRect(rect);
    UpdateCurve();
}

void CKTV_OutData::UpdateCurve() {
    m_nCurveYOffset = GainToPos(0, m_nGraphHeight) + 10;
    m_EQ.ComputeSumCurveF();
    // The curve is the set's summed response; the output's gain does not shift it.
    for (int i = 0; i < kFreqSteps; ++i)
        m_ptfCurve[i].y = m_EQ.GetSumCurveF()[i].y;
}

// ---- Record packing ----------------------------------------------------------------------

BYTE* CKTV_OutData::Record() const {
    return g_DeviceImage + OutputRecordOffset(m_nChannelIndex);
}

void CKTV_OutData::WriteBlock(int block, const BYTE* bytes, int count) const {
    std::memcpy(Record() + block * kBlockSize, bytes, static_cast<std::size_t>(count));
}

std::unique_ptr<CSendData> CKTV_OutData::Frame(int block) const {
    return BuildBandFrame(DATA_OUTPUT, m_nChannelIndex, block);
}

std::array<BYTE, 8> CKTV_OutData::BasicBlock() const {
    std::array<BYTE, 8> block{};
    block[0] = m_byEnable;
    block[1] = m_byPolarity;
    PutLe16(&block[2], GetGain());
    PutLe16(&block[4], m_wDelay);
    block[6] = m_byEqMode;
    block[7] = m_bySpeakerType;
    return block;
}

std::array<BYTE, 8> CKTV_OutData::MixABlock() const {
    std::array<BYTE, 8> block{};
    std::memcpy(block.data(), &m_byMix[0], 8);
    return block;
}

std::array<BYTE, 8> CKTV_OutData::MixBBlock() const {
    std::array<BYTE, 8> block{};
    std::memcpy(block.data(), &m_byMix[8], 8);
    return block;
}

std::unique_ptr<CSendData> CKTV_OutData::PackBasic(int send) {
    CModelLock lock(send != 0);
    const auto block = BasicBlock();
    WriteBlock(kBasicBlock, block.data(), kBlockSize);
    return send ? Frame(kBasicBlock) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::PackCrossover(int send) {
    CModelLock lock(send != 0);
    const auto block = GetCrossover();
    WriteBlock(kCrossoverBlock, block.data(), kBlockSize);
    return send ? Frame(kCrossoverBlock) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::SendCrossover() {
    CModelLock lock(true);
    // The processor gets the final crossover at once, so nothing is left to
    // glide: the targets become the sent frequencies.
    for (CFilter* filter : {GetHighPass(), GetLowPass()}) {
        filter->SetSentFreq(filter->GetFrequency());
        filter->StepSentFreq(0);
    }
    return PackCrossover(1);
}

std::unique_ptr<CSendData> CKTV_OutData::PackMixA(int send) {
    CModelLock lock(send != 0);
    const auto block = MixABlock();
    WriteBlock(kMixABlock, block.data(), kBlockSize);
    return send ? Frame(kMixABlock) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::PackMixB(int send) {
    CModelLock lock(send != 0);
    const auto block = MixBBlock();
    WriteBlock(kMixBBlock, block.data(), kBlockSize);
    return send ? Frame(kMixBBlock) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::PackLimiter(int send) {
    CModelLock lock(send != 0);
    // Bytes 286 and 287 (reserved, link tag) belong to the output strips.
    const auto record = GetLimiterRecord();
    WriteBlock(kLimiterBlock, record.data(), static_cast<int>(record.size()));
    return send ? Frame(kLimiterBlock) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::PackBand(int band, int block) {
    CModelLock lock(true);
    const auto bytes = m_EQ.PackBand(band);
    WriteBlock(band, bytes.data(), kBlockSize);
    return Frame(block);
}

std::unique_ptr<CSendData> CKTV_OutData::SendName() {
    CModelLock lock(true);
    platform::StoreGbkField(m_strName, Record() + kNameBlock * kBlockSize, kBlockSize);
    return Frame(kNameBlock);
}

void CKTV_OutData::PackAll() {
    std::lock_guard lock(g_csModel);
    for (int k = 0; k < kBandCount; ++k) {
        const auto bytes = m_EQ.PackBand(k);
        WriteBlock(k, bytes.data(), kBlockSize);
    }
    PackBasic(0);
    PackCrossover(0);
    PackMixB(0);
    PackLimiter(0);
    PackMixA(0);
}

void CKTV_OutData::LoadFromRecord(const BYTE* record) {
    std::lock_guard lock(g_csModel);
    for (int k = 0; k < kBandCount; ++k)
        m_EQ.UnpackBand(record + k * kBlockSize, k);
    m_strName = BytesToStringN(record + kNameBlock * kBlockSize, kBlockSize);

    const BYTE* basic = record + kBasicBlock * kBlockSize;
    m_byEnable = basic[0];
    m_byPolarity = basic[1];
    m_wDelay = GetLe16(basic + 4);
    m_wGain = GetLe16(basic + 2);
    m_bMuted = m_wGain == 0;
    m_byEqMode = basic[6];
    SetBandsGainOnly(m_byEqMode);
    m_bySpeakerType = basic[7];

    SetCrossover(record + kCrossoverBlock * kBlockSize);

    const BYTE* limiter = record + kLimiterBlock * kBlockSize;
    m_byMix[16] = limiter[0];
    m_byMix[17] = limiter[1];
    m_wLimiterAttack = GetLe16(limiter + 2);
    m_wLimiterRelease = GetLe16(limiter + 4);

    std::memcpy(&m_byMix[0], record + kMixABlock * kBlockSize, 8);
    std::memcpy(&m_byMix[8], record + kMixBBlock * kBlockSize, 8);
}

// ---- Archive -------------------------------------------------------------------------------

void CKTV_OutData::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strName << m_byEnable << m_byPolarity << m_wGain << m_wDelay << m_bySpeakerType << m_bySourceA
           << m_bySourceB << m_bySourceC << m_byBalance << m_wLimiterAttack << m_wLimiterThreshold
           << m_wLimiterRelease << m_bAllBypassed;
    } else {
        ar >> m_strName >> m_byEnable >> m_byPolarity >> m_wGain >> m_wDelay >> m_bySpeakerType >>
            m_bySourceA >> m_bySourceB >> m_bySourceC >> m_byBalance >> m_wLimiterAttack >>
            m_wLimiterThreshold >> m_wLimiterRelease >> m_bAllBypassed;
        m_bMuted = m_wGain == 0;
    }
    m_EQ.Serialize(ar);
}

// ---- Flags the change tracker takes ------------------------------------------------------

void CKTV_OutData::SetNameDirty(int v) {
    std::lock_guard lock(g_csModel);
    m_bNameChanged = v;
}

void CKTV_OutData::SetBasicDirty(int v) {
    std::lock_guard lock(g_csModel);
    m_bBasicChanged = v;
}

void CKTV_OutData::SetLimiterDirty(int v) {
    std::lock_guard lock(g_csModel);
    m_bLimiterChanged = v;
}

void CKTV_OutData::SetMixBDirty(int v) {
    std::lock_guard lock(g_csModel);
    m_bMixBChanged = v;
}

void CKTV_OutData::SetMixADirty(int v) {
    std::lock_guard lock(g_csModel);
    m_bMixAChanged = v;
}
