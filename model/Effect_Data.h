#pragma once

// The system and effect block: two groups of effect parameters and a small
// equaliser.  It mirrors image bytes 32..183 of the device image, loads itself
// from there when live data arrives and is written back whenever the model is
// packed; it never goes to the processor by itself.

#include "model/ArgbColor.h"
#include "model/KTVEQ.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"
#include "platform/sys/WinTypes.h"

#include <array>

class CArchive;
class CFilter;

class CEffect_Data : public CObject {
public:
    CEffect_Data();
    ~CEffect_Data() override;
    CEffect_Data(const CEffect_Data&) = delete;
    CEffect_Data& operator=(const CEffect_Data&) = delete;

    void Serialize(CArchive& ar) override;

    // `area` points at image byte 32.
    void LoadFromDevice(const BYTE* area);
    // Checks the name (telling the user when it does not fit), then packs.
    void FillSendTable();
    // The two steps of FillSendTable: the check with no lock held, then the
    // packing, which leaves the name bytes as they are when it does not fit.
    BOOL CheckNameLength() const;
    void PackArea();
    void PackCrossover();
    void SetChanged(int v);

    CString GetName() const { return m_strName; }
    int GetA1() const { return m_nA1; }
    int GetA2() const { return m_nA2; }
    int GetA3() const { return m_nA3; }
    int GetA4() const { return m_nA4; }
    int GetA5() const { return m_nA5; }
    int GetB1() const { return m_nB1; }
    int GetB2() const { return m_nB2; }
    int GetB3() const { return m_nB3; }
    int GetB4() const { return m_nB4; }
    int GetB5() const { return m_nB5; }
    int GetB6() const { return m_nB6; }
    int GetNameChanged() const { return m_bNameChanged; }
    int GetGroupAChanged() const { return m_bGroupAChanged; }
    int GetGroupBChanged() const { return m_bGroupBChanged; }

    // The equaliser set: elements 0..2 bands, 3 high-pass, 4 low-pass.
    CKTVEQ& GetEQ() { return m_EQ; }
    int GetFilterCount() const { return static_cast<int>(m_EQ.GetSize()); }
    CFilter* GetFilter(int index) const;
    CFilter* GetHighPass() const;
    CFilter* GetLowPass() const;
    int GetOutputLevel() const { return m_nLevel; }
    ArgbColor GetCurveColor() const { return m_clrCurve; }
    void UpdateCurvePoints();
    const CPoint* GetCurvePoints() const { return m_ptCurve.data(); }
    const CurvePointF* GetCurvePointsF() const { return m_ptfCurve.data(); }

    CString GetParam1Text() const;
    CString GetParam2Text() const;
    CString GetParam3Text() const;
    CString GetParam4Text() const;
    CString GetParam5Text() const;
    CString GetParamB1Text() const;
    CString GetParamB2Text() const;
    CString GetParamB3Text() const;
    CString GetParamB4Text() const;
    CString GetParamB6Text() const;

private:
    // One parameter byte and the image byte that holds it.
    struct Param {
        int* value;
        int imageByte;
    };
    std::array<Param, 11> Params();

    CString m_strName = "Effect";
    int m_nA1 = 20;
    int m_nA2 = 84;
    int m_nA3 = 68;
    int m_nA4 = 0;
    int m_nA5 = 50;
    int m_nB5 = 50;
    int m_nB1 = 18;
    int m_nB2 = 50;
    int m_nB3 = 0;
    int m_nB4 = 40;
    int m_nB6 = 0;
    CKTVEQ m_EQ;
    std::array<CPoint, kFreqSteps> m_ptCurve{};
    std::array<CurvePointF, kFreqSteps> m_ptfCurve{};
    int m_nLevel = 255;
    ArgbColor m_clrCurve;
    int m_bAllBandsFlat = 0;
    int m_bNameChanged = 0;
    int m_bGroupAChanged = 0;
    int m_bGroupBChanged = 0;
};
