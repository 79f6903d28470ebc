#pragma once

// One of the processor's twelve outputs as an object.  It mirrors one 296-byte
// output record of the device image: setters store a value and mark the block
// that carries it, the packers write blocks into the live image (and build the
// write frame when the change tracker asks), LoadFromRecord fills the object
// from a record of any image.
//
// Setters store the value before they set the block's flag, and every pick of
// the change tracker clears a flag before it packs the block, so an edit made
// during a pick is either in the packed block or stays pending.

#include "model/ArgbColor.h"
#include "model/ChannelRecord.h"
#include "model/KTVEQ.h"
#include "platform/sys/Color.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"
#include "platform/sys/WinTypes.h"

#include <array>
#include <memory>

class CArchive;
class CFilter;
class CSendData;

// Block 35 bytes 0..5: mix levels 17 and 18, attack word, release word.
using LimiterRecord = std::array<BYTE, 6>;

class CKTV_OutData : public CObject {
public:
    static constexpr int kBandCount = 31;
    static constexpr int kMixLevelCount = 18;

    // Blocks of the output record.
    static constexpr int kBasicBlock = 31;
    static constexpr int kCrossoverBlock = 32;
    static constexpr int kMixABlock = 33;
    static constexpr int kMixBBlock = 34;
    static constexpr int kLimiterBlock = 35;
    static constexpr int kNameBlock = 36;

    CKTV_OutData();
    ~CKTV_OutData() override;
    CKTV_OutData(const CKTV_OutData&) = delete;
    CKTV_OutData& operator=(const CKTV_OutData&) = delete;

    void Serialize(CArchive& ar) override;

    // Set-up by the output route.
    void SetColour(COLORREF colour) { m_crColour = colour; }
    COLORREF GetColour() const { return m_crColour; }
    void SetCurvePen(ArgbColor colour) { m_clrCurvePen = colour; }
    ArgbColor GetCurvePen() const { return m_clrCurvePen; }
    void CreateEQ(int lastBand, int cutBlock, int dragMode, int highPassHz, int lowPassHz);
    void SetChannelIndex(int index);
    int GetChannelIndex() const { return m_nChannelIndex; }

    // A name that does not fit the 8-byte name field (7 GBK bytes and a 0) is
    // refused here, on the GUI thread, with the text-length message; the
    // name stays as it was and FALSE is returned.
    BOOL SetName(const CString& name);
    CString GetName() const { return m_strName; }

    // Setters that mark a block.
    void SetGain(WORD gain);
    void SetDelay(WORD delay);
    void SetEnable(BYTE on);
    void SetPolarity(BYTE polarity);
    void SetEqMode(BYTE mode);
    void SetLimiterThreshold(WORD value);
    void SetLimiterAttack(WORD value);
    void SetLimiterRelease(WORD value);
    // Mix level n (1..18): 1..8 mark mix A, 9..16 mix B, 17 and 18 the limiter block.
    void SetMixLevel(int n, BYTE level);
    void SetMixLevel1(BYTE v) { SetMixLevel(1, v); }
    void SetMixLevel2(BYTE v) { SetMixLevel(2, v); }
    void SetMixLevel3(BYTE v) { SetMixLevel(3, v); }
    void SetMixLevel4(BYTE v) { SetMixLevel(4, v); }
    void SetMixLevel5(BYTE v) { SetMixLevel(5, v); }
    void SetMixLevel6(BYTE v) { SetMixLevel(6, v); }
    void SetMixLevel7(BYTE v) { SetMixLevel(7, v); }
    void SetMixLevel8(BYTE v) { SetMixLevel(8, v); }
    void SetMixLevel9(BYTE v) { SetMixLevel(9, v); }
    void SetMixLevel10(BYTE v) { SetMixLevel(10, v); }
    void SetMixLevel11(BYTE v) { SetMixLevel(11, v); }
    void SetMixLevel12(BYTE v) { SetMixLevel(12, v); }
    void SetMixLevel13(BYTE v) { SetMixLevel(13, v); }
    void SetMixLevel14(BYTE v) { SetMixLevel(14, v); }
    void SetMixLevel15(BYTE v) { SetMixLevel(15, v); }
    void SetMixLevel16(BYTE v) { SetMixLevel(16, v); }
    void SetMixLevel17(BYTE v) { SetMixLevel(17, v); }
    void SetMixLevel18(BYTE v) { SetMixLevel(18, v); }

    // Speaker type and crossover.
    void SetSpeakerType(int type);
    int GetSpeakerType() const { return m_bySpeakerType; }
    void SetSpeakerTypeDefaults(int type);
    void SetSpeakerTypeCrossover(int type, const BYTE* crossover);
    void SetCrossover(const BYTE* crossover);
    CrossoverRecord GetCrossover() const;
    // The default crossover of a speaker type as the output applies it.
    static CrossoverRecord DefaultCrossover(int type);
    // High-pass drag mode of a speaker type: 11 for the tweeters, else 12.
    static int DefaultHighPassDragMode(int type);

    void BypassAllBands(int bypass);
    int IsAllBypassed();
    void CopyEQFrom(const CKTV_OutData& other);

    // Change flags.
    void SetAllDirty(int value);
    void SetNameDirty(int v);
    void SetBasicDirty(int v);
    void SetLimiterDirty(int v);
    void SetMixBDirty(int v);
    void SetMixADirty(int v);
    int GetNameDirty() const { return m_bNameChanged; }
    int GetBasicDirty() const { return m_bBasicChanged; }
    int GetLimiterDirty() const { return m_bLimiterChanged; }
    int GetMixBDirty() const { return m_bMixBChanged; }
    int GetMixADirty() const { return m_bMixAChanged; }
    int GetSourceDirty() const { return m_bSourceChanged; }
    int TakeCrossoverChanged();

    // Values.
    WORD GetGain() const { return m_bMuted ? 0 : m_wGain; }
    int IsMuted() const { return m_bMuted; }
    WORD GetDelay() const { return m_wDelay; }
    BYTE GetEnable() const { return m_byEnable; }
    BYTE GetPolarity() const { return m_byPolarity; }
    BYTE GetEqMode() const { return m_byEqMode; }
    WORD GetLimiterThreshold() const { return m_wLimiterThreshold; }
    WORD GetLimiterAttack() const { return m_wLimiterAttack; }
    WORD GetLimiterRelease() const { return m_wLimiterRelease; }
    BYTE GetMixLevel(int n) const { return m_byMix[n - 1]; }
    BYTE GetMixLevel1() const { return GetMixLevel(1); }
    BYTE GetMixLevel2() const { return GetMixLevel(2); }
    BYTE GetMixLevel3() const { return GetMixLevel(3); }
    BYTE GetMixLevel4() const { return GetMixLevel(4); }
    BYTE GetMixLevel5() const { return GetMixLevel(5); }
    BYTE GetMixLevel6() const { return GetMixLevel(6); }
    BYTE GetMixLevel7() const { return GetMixLevel(7); }
    BYTE GetMixLevel8() const { return GetMixLevel(8); }
    BYTE GetMixLevel9() const { return GetMixLevel(9); }
    BYTE GetMixLevel10() const { return GetMixLevel(10); }
    BYTE GetMixLevel11() const { return GetMixLevel(11); }
    BYTE GetMixLevel12() const { return GetMixLevel(12); }
    BYTE GetMixLevel13() const { return GetMixLevel(13); }
    BYTE GetMixLevel14() const { return GetMixLevel(14); }
    BYTE GetMixLevel15() const { return GetMixLevel(15); }
    BYTE GetMixLevel16() const { return GetMixLevel(16); }
    LimiterRecord GetLimiterRecord() const;
    BYTE GetSourceA() const { return m_bySourceA; }
    BYTE GetSourceB() const { return m_bySourceB; }
    int GetSourceAOff() const { return m_bSourceAOff; }
    int GetSourceBOff() const { return m_bSourceBOff; }

    // The outputs have no compressor; these keep the callers' interface.
    void SetCompLevel(int) {}
    void SetCompAttack(int) {}
    void SetCompRelease(int) {}
    void SetCompRatio(int) {}
    int GetCompLevel() const { return 0; }
    int GetCompAttack() const { return 0; }
    int GetCompRelease() const { return 0; }

    // The equaliser set: elements 0..30 bands, 31 high-pass, 32 low-pass.
    CFilter* GetBand(int index) const;
    CFilter* GetHighPass() const;
    CFilter* GetLowPass() const;
    int GetHighPassIndex() const;
    int GetLowPassIndex() const;
    CKTVEQ& GetEQ() { return m_EQ; }
    const CKTVEQ& GetEQ() const { return m_EQ; }

    // Response curve for the graph.
    void SetCurveRect(const CRect& rect);
    void UpdateCurve();
    const CPoint* GetCurvePoints() const { return m_ptCurve.data(); }
    const CurvePointF* GetCurvePointsF() const { return m_ptfCurve.data(); }
    int GetCurveYOffset() const { return m_nCurveYOffset; }

    // Record packing and loading.  Packers write into the output's record of
    // the live image; with send (or always, for the Send operations) they
    // return the block's write frame for the caller to queue.
    std::unique_ptr<CSendData> PackBasic(int send);
    std::unique_ptr<CSendData> PackCrossover(int send);
    std::unique_ptr<CSendData> SendCrossover();
    std::unique_ptr<CSendData> PackMixA(int send);
    std::unique_ptr<CSendData> PackMixB(int send);
    std::unique_ptr<CSendData> PackLimiter(int send);
    std::unique_ptr<CSendData> PackBand(int band, int block);
    // Writes the name into block 36 when it fits; a name that does not fit
    // (only one loaded from a record can be that long) leaves the block as
    // it is.  Shows nothing: it runs on the communication thread under the
    // send lock.  The frame of the block is returned either way.
    std::unique_ptr<CSendData> SendName();
    void PackAll();
    void LoadFromRecord(const BYTE* record);

    // The blocks as they are packed, by value.
    std::array<BYTE, 8> BasicBlock() const;
    std::array<BYTE, 8> MixABlock() const;
    std::array<BYTE, 8> MixBBlock() const;

private:
    BYTE* Record() const;
    void WriteBlock(int block, const BYTE* bytes, int count) const;
    std::unique_ptr<CSendData> Frame(int block) const;
    void TakeGainMode(const CKTV_OutData& source);
    void SetBandsGainOnly(int mode);

    std::array<CPoint, kFreqSteps> m_ptCurve{};
    std::array<CurvePointF, kFreqSteps> m_ptfCurve{};
    int m_nCurveYOffset = 0;
    int m_nGraphHeight = 0;
    int m_nGraphWidth = 0;

    CString m_strName;
    BYTE m_byNameBlock = kNameBlock;
    CKTVEQ m_EQ;
    BYTE m_byPolarity = 0;
    BYTE m_byEnable = 1;
    WORD m_wGain = 600;
    int m_bMuted = 0;
    WORD m_wDelay = 0;
    BYTE m_byEqMode = 0;
    BYTE m_bySpeakerType = 0;
    BYTE m_byBasicBlock = kBasicBlock;
    WORD m_wLimiterThreshold = 420;
    WORD m_wLimiterAttack = 20;
    WORD m_wLimiterRelease = 20;
    BYTE m_byLimiterBlock = kLimiterBlock;
    BYTE m_byMixBBlock = kMixBBlock;
    BYTE m_bySourceA = 50;
    BYTE m_bySourceB = 50;
    BYTE m_bySourceC = 80;
    BYTE m_byBalance = 50;
    // Mix levels 1..18 at index 0..17.
    std::array<BYTE, kMixLevelCount> m_byMix = [] {
        std::array<BYTE, kMixLevelCount> levels{};
        levels.fill(100);
        return levels;
    }();
    BYTE m_byMixABlock = kMixABlock;
    int m_bSourceAOff = 1;
    int m_bSourceBOff = 1;
    int m_bSourceCOff = 0;

    int m_bNameChanged = 0;
    int m_bSourceChanged = 0;
    int m_bBasicChanged = 0;
    int m_bLimiterChanged = 0;
    int m_bMixBChanged = 0;
    int m_bMixAChanged = 0;

    int m_nChannelIndex = 0;
    COLORREF m_crColour = 0;
    ArgbColor m_clrCurvePen;
    int m_bAllBypassed = 0;
};
