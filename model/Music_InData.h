#pragma once

// One of the four music inputs.  It mirrors a 288-byte music record of the
// device image; the change tracker sends its main block, its threshold block
// and its changed bands one block per pick, while the name, block 34 and the
// crossover reach the processor only inside a whole record.

#include "model/ArgbColor.h"
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

class CMusic_InData : public CObject {
public:
    static constexpr int kMainBlock = 31;
    static constexpr int kCrossoverBlock = 32;
    static constexpr int kThresholdBlock = 33;
    static constexpr int kGroupBBlock = 34;
    static constexpr int kNameBlock = 35;

    CMusic_InData();
    ~CMusic_InData() override;
    CMusic_InData(const CMusic_InData&) = delete;
    CMusic_InData& operator=(const CMusic_InData&) = delete;

    void Serialize(CArchive& ar) override;

    // Set-up by the music route.
    void InitEQ(int lastBand, int cutBlock, int lowPassHz);
    void SetChannel(int channel) { m_nChannel = channel; }
    int GetChannel() const { return m_nChannel; }
    void SetCurveColour(COLORREF colour) { m_crCurveColour = colour; }
    COLORREF GetCurveColour() const { return m_crCurveColour; }
    void SetCurveArgb(ArgbColor colour) { m_clrCurveArgb = colour; }
    ArgbColor GetCurveArgb() const { return m_clrCurveArgb; }
    void SetDisplayFlag(int flag) { m_bDisplay = flag; }
    int GetDisplayFlag() const { return m_bDisplay; }

    // Setters that mark a block while a device is online.
    void SetName(const CString& name);
    void SetGain(int gain);
    void SetOnOff(int on);
    void SetEQSwitch(int mode);
    void SetThreshold(int threshold);

    void SetMainPending(int v);
    void SetThresholdPending(int v);
    void SetAllPending(int v);
    int GetMainPending() const { return m_bMainPending; }
    int GetThresholdPending() const { return m_bThresholdPending; }
    int GetNamePending() const { return m_bNamePending; }
    int GetGroupBPending() const { return m_bGroupBPending; }

    CString GetName() const { return m_strName; }
    int GetOnOff() const { return m_nOnOff; }
    int GetPolarity() const { return m_nPolarity; }
    int GetGain() const { return m_nGain; }
    int GetEffectiveGain() const { return m_bMute ? 0 : m_nGain; }
    int IsMuted() const { return m_bMute; }
    int GetDelay() const { return m_nDelay; }
    int GetEQSwitch() const { return m_nEqMode; }
    int GetThreshold() const { return m_nThreshold; }
    int GetGroupBWord() const { return m_nGroupBWord; }
    int GetGroupBByte1() const { return m_nGroupBByte1; }
    int GetGroupBByte2() const { return m_nGroupBByte2; }

    // The equaliser set: elements 0..30 bands, 31 high-pass, 32 low-pass.
    CKTVEQ& GetEQ() { return m_EQ; }
    int GetBandCount() const;
    CFilter* GetBand(int index) const;
    CFilter* GetHPF() const;
    CFilter* GetLPF() const;
    void SetAllBandsSwitch(int bypass);
    int UpdateAllBandsState();

    // Response curve for the graph.
    void SetCurveRect(const CRect& rect);
    void RecalcCurve();
    const CPoint* GetCurvePoints() const { return m_ptCurve.data(); }
    const CurvePointF* GetCurvePointsF() const { return m_ptfCurve.data(); }

    // Packing into the channel's record of the live image; the Send
    // operations return the block's write frame when asked.
    std::unique_ptr<CSendData> SendMain(bool send);
    std::unique_ptr<CSendData> SendThreshold(bool send);
    std::unique_ptr<CSendData> SendBand(int band, int block);
    void PackCrossover();
    void PackGroupB();
    // Checks the name (telling the user when it does not fit), then packs.
    void PackAll();
    // The two steps of PackAll: the check with no lock held, then the packing,
    // which leaves the name bytes as they are when the name does not fit.
    BOOL CheckNameLength() const;
    void PackRecord();
    void LoadFromDevice(const BYTE* record);

    CString FormatGain() const;
    CString FormatOnOff() const;
    CString FormatThreshold() const;

private:
    BYTE* Record() const;
    void SetBandsGainOnly(int mode);

    std::array<CPoint, kFreqSteps> m_ptCurve{};
    std::array<CurvePointF, kFreqSteps> m_ptfCurve{};
    int m_nCurveYOffset = 0;
    int m_nGraphHeight = 0;
    int m_nGraphWidth = 0;
    CKTVEQ m_EQ;
    CString m_strName;
    [[maybe_unused]] BYTE m_byNameBlock = kNameBlock;
    int m_nOnOff = 1;
    int m_nPolarity = 0;
    int m_nGain = 600;
    int m_nEqMode = 1;
    int m_bMute = 0;
    int m_nDelay = 0;
    int m_nMainBlock = kMainBlock;
    int m_nThreshold = 40;
    int m_nThresholdBlock = kThresholdBlock;
    int m_nGroupBWord = 500;
    int m_nGroupBByte1 = 0;
    int m_nGroupBByte2 = 0;
    [[maybe_unused]] int m_nGroupBBlock = kGroupBBlock;
    int m_bMainPending = 0;
    int m_bNamePending = 0;
    int m_bThresholdPending = 0;
    int m_bGroupBPending = 0;
    int m_nChannel = 0;
    COLORREF m_crCurveColour = 0;
    ArgbColor m_clrCurveArgb;
    int m_bAllBandsFlat = 0;
    int m_bDisplay = 1;
};
