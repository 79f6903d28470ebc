#pragma once

// One equaliser band (peaking, low shelf, high shelf) or one crossover
// filter (high-pass, low-pass) of a channel: the parameters as the user last
// set them, the frequency last sent to the processor, the change flag the
// change tracking reads, the magnitude response at the 241 frequencies of
// g_FreqTable, and the geometry the response graph draws and drags.
//
// Stored values are kept as they were set or loaded so that records round
// trip byte for byte; only what feeds the maths and the geometry is limited.

#include "model/DataDefine.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"
#include "platform/sys/WinTypes.h"

class FilterSliderLink;

class CFilter : public CObject {
public:
    enum Type { Peaking = 0, LowShelf = 1, HighShelf = 2, HighPass = 3, LowPass = 4 };
    enum Family { LinkwitzRiley = 0, Butterworth = 1, Bessel = 2 };
    static constexpr int kSlopeOff = 8;
    static constexpr int kCurvePoints = kFreqSteps + 2;
    // The plot area's offset inside the graph window.
    static constexpr int kPlotLeft = 40;
    static constexpr int kPlotTop = 10;

    CFilter();
    ~CFilter() override = default;
    CFilter(const CFilter&) = delete;
    CFilter& operator=(const CFilter&) = delete;

    void Serialize(CArchive& ar) override;

    // Identity and kind.
    void SetHandlesMode(int mode) { m_bHandlesMode = mode; }
    void SetBandNo(int bandNo) { m_nBandNo = bandNo; }
    void SetDragMode(int mode) { m_nDragMode = mode; }
    void SetLinkedSlider(FilterSliderLink* slider) { m_pLinkedSlider = slider; }
    void SetSentFreq(int hz);
    void SetGainOnlyLabel(int gainOnly);
    int GetGainOnlyLabel() const { return m_bGainOnly; }

    int GetFreq() const { return m_nFreq; }
    int GetFrequency() const { return m_nFreq; }
    int GetSentFreq() const { return m_nSentFreq; }
    int GetType() const { return m_nType; }
    int GetFamily() const { return m_nFamily; }
    int GetSlope() const { return m_nSlope; }
    int GetBandNo() const { return m_nBandNo; }
    int GetDragMode() const { return m_nDragMode; }
    double GetGain() const { return m_dGain; }
    double GetBandwidth() const { return m_dBandwidth; }
    int IsFlat() const { return m_bFlat; }
    int IsBypassed() const { return m_bBypass; }
    int IsChanged() const { return m_bChanged; }
    int IsFlatOrBypassed() const { return m_bBypass ? m_bBypass : m_bFlat; }
    int GetGainIndex() const;
    int GetBandwidthIndex() const;
    BYTE GetSlopeByte() const { return static_cast<BYTE>(m_nSlope); }
    BYTE GetTypeByte() const { return static_cast<BYTE>(m_nType); }
    BYTE GetBandNoByte() const { return static_cast<BYTE>(m_nBandNo); }

    // Setters; "mark changed" copies g_bOnline into the change flag.
    void SetFreq(int hz, int fromUser);
    void SetGainIndex(int index);
    void SetBandwidthIndex(int index);
    void SetBandwidthIndexDrag(int index) { SetBandwidthIndex(index); }
    void SetSlope(int slope, int mark);
    void SetFamily(int family, int mark);
    void SetType(int type);
    void SetFlat(int flat);
    void SetBypass(int bypass);
    void Reset(int hz);
    // One octave of the glide of the sent frequency toward the target.
    void StepSentFreq(int keep);
    void CopyFrom(const CFilter& source);

    // Response (dB at g_FreqTable entries 1..241).
    void ComputeResponse();
    // While deferred, ComputeResponse only notes that the response is out of
    // date; ending the deferral computes it once if it is.  A load that sets
    // every value of a filter one by one computes its response once.
    void DeferResponse(int defer);
    const double* GetResponse() const { return m_dResponse; }
    static double Log10(double value);

    // Geometry in graph client pixels.
    void SetGraphRect(const CRect& plot);
    void UpdateHandles();
    void UpdateBandwidthHandles();
    void UpdateCrossoverMarker();
    const CPoint* GetCurve() const { return m_ptCurve; }
    const CRect& GetHandleRect() const { return m_rcHandle; }
    const CRect& GetBwLowRect() const { return m_rcBwLow; }
    const CRect& GetBwHighRect() const { return m_rcBwHigh; }
    const CRect& GetLabelRect() const { return m_rcLabel; }
    CString GetLabelText();

    // Dragging, driven by the graph.
    void BeginDrag(CPoint mouse);
    int DragPoint(CPoint mouse);
    int DragBandwidth(CPoint mouse);
    int DragCrossover(CPoint mouse, int limitFreq);

    // Hover and drag state of the handles; the graph writes these.
    int m_bHitCentre = 0;
    int m_bHitLow = 0;
    int m_bHitHigh = 0;
    int m_bDragCentre = 0;
    int m_bDragLow = 0;
    int m_bDragHigh = 0;

private:
    bool IsBand() const { return m_bHandlesMode == 1; }
    void MarkChanged();
    void UpdateGeometry();
    void ComputePeakResponse();
    void ComputeShelfResponse();
    void ComputeHighPassResponse();
    void ComputeLowPassResponse();
    // What the maths and the geometry see of the stored values.
    int ShapingFreq() const;
    double ShapingGain() const;
    double ShapingBandwidth() const;
    double ShownGain() const;

    double m_dResponse[kFreqSteps] = {};
    CPoint m_ptDragOffset;
    CRect m_rcHandle;
    CRect m_rcBwLow;
    CRect m_rcBwHigh;
    FilterSliderLink* m_pLinkedSlider = nullptr;
    int m_nType = Peaking;
    int m_nFreq = 1000;
    int m_nSentFreq = 20;
    int m_nDragMode = 0;
    double m_dGain = 0.0;
    int m_bFlat = 1;
    int m_bBypass = 0;
    int m_bSavedBypass = 0;
    double m_dBandwidth = 0.57;
    int m_nFamily = LinkwitzRiley;
    int m_nSlope = 2;
    int m_nBandNo = 0;
    int m_nGraphWidth = 0;
    int m_nGraphHeight = 0;
    int m_bHandlesMode = 1;
    int m_bChanged = 0;
    int m_bGainOnly = 0;
    int m_bResponseDeferred = 0;
    int m_bResponseStale = 0;
    CPoint m_ptCurve[kCurvePoints];
    CRect m_rcLabel;
    CString m_strLabel;
};
