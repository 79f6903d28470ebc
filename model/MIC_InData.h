#pragma once

// The microphone input.  It mirrors the 112-byte microphone record of the
// device image and only carries it: loaded with the model, packed back with
// it, never sent block by block.

#include "model/ArgbColor.h"
#include "model/KTVEQ.h"
#include "platform/sys/Color.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"
#include "platform/sys/WinTypes.h"

#include <array>

class CArchive;
class CFilter;

class CMIC_InData : public CObject {
public:
    static constexpr int kNameSize = 8;

    CMIC_InData();
    ~CMIC_InData() override;
    CMIC_InData(const CMIC_InData&) = delete;
    CMIC_InData& operator=(const CMIC_InData&) = delete;

    void Serialize(CArchive& ar) override;

    // Set-up by the microphone route.
    void InitEQ(int lastBand, int cutBlock, int lowPassHz);
    void SetChannel(int channel) { m_nChannel = channel; }
    int GetChannel() const { return m_nChannel; }
    void SetCurveColour(COLORREF colour) { m_crCurveColour = colour; }
    COLORREF GetCurveColour() const { return m_crCurveColour; }
    void SetCurveArgb(ArgbColor colour) { m_clrCurveArgb = colour; }
    ArgbColor GetCurveArgb() const { return m_clrCurveArgb; }

    // Keeps at most 8 bytes of the name's GBK form, whole characters only.
    void SetName(const CString& name);
    CString GetName() const;
    void SetAllPending(int v);
    int GetNamePending() const { return m_bNamePending; }
    int GetMainPending() const { return m_bMainPending; }
    int GetThresholdPending() const { return m_bThresholdPending; }
    int GetGroupBPending() const { return m_bGroupBPending; }

    int GetLevel() const { return m_nLevel; }
    int GetOnOff() const { return m_nOnOff; }
    int GetEQMode() const { return m_nEqMode; }
    int GetPolarity() const { return m_nPolarity; }
    int GetDelay() const { return m_nDelay; }
    int GetGain() const { return m_nGain; }
    int GetEffectiveGain() const { return m_bMute ? 0 : m_nGain; }
    int IsMuted() const { return m_bMute; }
    int GetThreshold() const { return m_nThreshold; }
    WORD GetGroupBWord() const { return m_wGroupBWord; }
    int GetGroupBByte1() const { return m_nGroupBByte1; }
    int GetGroupBByte2() const { return m_nGroupBByte2; }

    // The equaliser set: elements 0..8 bands, 9 high-pass, 10 low-pass.
    CKTVEQ& GetEQ() { return m_EQ; }
    CFilter* GetBand(int index) const;
    CFilter* GetHPF() const;
    CFilter* GetLPF() const;

    void RecalcCurve();
    const CPoint* GetCurvePoints() const { return m_ptCurve.data(); }
    const CurvePointF* GetCurvePointsF() const { return m_ptfCurve.data(); }

    // The microphone record of the live image (image bytes 184..295).
    void LoadFromDevice(const BYTE* record);
    // Checks the name (telling the user when it does not fit), then packs.
    void PackAll();
    // The two steps of PackAll: the check with no lock held, then the packing,
    // which leaves the name bytes as they are when the name does not fit.
    BOOL CheckNameLength() const;
    void PackRecord();
    void PackMain();
    void PackCrossover();
    void PackGroupB();
    void PackThreshold();

    CString FormatLevel() const;
    CString FormatGain() const;
    CString FormatOnOff() const;
    CString FormatThreshold() const;

private:
    BYTE* Record() const;

    std::array<CPoint, kFreqSteps> m_ptCurve{};
    std::array<CurvePointF, kFreqSteps> m_ptfCurve{};
    int m_nCurveYOffset = 0;
    int m_nGraphHeight = 0;
    [[maybe_unused]] int m_nGraphWidth = 0;
    CKTVEQ m_EQ;
    // GBK bytes, not necessarily zero-terminated.
    std::array<BYTE, kNameSize> m_Name{};
    [[maybe_unused]] int m_nNameBlock = 13;
    int m_nLevel = 0;
    int m_nOnOff = 1;
    int m_nEqMode = 1;
    int m_nPolarity = 0;
    int m_nDelay = 0;
    int m_nGain = 400;
    int m_bMute = 0;
    [[maybe_unused]] int m_nMainBlock = 9;
    int m_nThreshold = 40;
    [[maybe_unused]] int m_nThresholdBlock = 11;
    WORD m_wGroupBWord = 500;
    int m_nGroupBByte1 = 0;
    int m_nGroupBByte2 = 0;
    [[maybe_unused]] int m_nGroupBBlock = 12;
    int m_nChannel = 0;
    COLORREF m_crCurveColour = 0;
    ArgbColor m_clrCurveArgb;
    [[maybe_unused]] int m_bDisplay = 1;
    int m_bMainPending = 0;
    int m_bNamePending = 0;
    int m_bThresholdPending = 0;
    int m_bGroupBPending = 0;
    int m_bAllBandsFlat = 0;
};
