#pragma once

// The equaliser response graph: the summed response of the shown output on
// a 20 Hz .. 20 kHz logarithmic axis and a +12 .. -12 dB axis, a numbered
// handle for every filter, the shaded response and label of the selected
// filter, and the curves of the outputs chosen for comparison.  The model
// computes every curve, handle and label box in the graph's client pixels;
// the graph only draws them, hit-tests them and runs the filters' drags.
// Drag results reach the owner as UM_EQ_POINT_DRAGGED, at most every 200 ms.

#include "platform/gdi/GdiplusPath.h"
#include "platform/win/Cursor.h"
#include "platform/win/Static.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CDC;
class CFilter;
class CKTV_Data;
class CKTV_OutData;
class CKTVEQ;

namespace Gdiplus {
class Bitmap;
class Graphics;
} // namespace Gdiplus

class CFStatic : public CStatic {
public:
    enum Mode { ModeNone = 0, ModeEffect = 1, ModeMic = 2, ModeMusic = 3, ModeOutput = 4 };
    static constexpr UINT_PTR kNoticeTimer = 3;
    static constexpr UINT kNoticeMs = 200;
    static constexpr int kGridLines = 27;

    CFStatic();
    ~CFStatic() override;

    // Invalidates the client area without erasing and enables the window.
    virtual void EnableControl(BOOL enable);
    // Drops the selection, EnableControl, and repaints at once.
    void EnableGraph(BOOL enable);

    void SetOwner(CWnd* owner) { m_pOwner = owner; }
    // Fixes the geometry (the window must exist), starts the notice timer
    // and hands the plot rectangle to the outputs (type 4) or the music
    // inputs (type 3).  Draws nothing.
    void AttachKTVData(CKTV_Data* data, int type);
    // Shows output n (0..11) with no selection; another index is ignored.
    void SelectOutput(int n);
    void SetMode(int mode);
    // Draws the plot of the current mode at once.  A filter index selects
    // that filter; -1 keeps the selection.
    void Redraw(int highlight);

    int GetMode() const { return m_nMode; }
    int GetCurBand() const { return m_nCurBand; }
    int GetCurOutput() const { return m_nCurOutput; }
    const CRect& GetPlotRect() const { return m_rcPlot; }
    int GetGridX(int i) const { return m_nGridX[std::size_t(i)]; }
    int IsOnHandle() const { return m_bOnHandle; }

    // Read and written by the owner: it drops the selection by clearing
    // m_pSelFilter before a Redraw(-1), and clears m_bButtonUp when it has
    // handled the notice that follows a release.
    CFilter* m_pSelFilter = nullptr;
    CRect m_rcClient;
    CRect m_rcWindow;
    int m_bButtonUp = 0;

protected:
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnTimer(UINT_PTR id);
    void OnKillFocus(CWnd* newWnd);
    DECLARE_MESSAGE_MAP()

private:
    void LoadCursors();
    void Layout();
    CFilter* FilterAt(int index) const;

    // Drawing (FStatic.cpp).
    void DrawBackground();
    void DrawEmptyPlot();
    void DrawOutput();
    void DrawOutputPlot();
    void DrawGrid(CDC* dc) const;
    void FillPlot(CDC* dc, COLORREF frameColour) const;
    void DrawFilterNumbers(CDC* dc) const;
    void DrawOutputCurves(CDC* surface, int n);
    void DrawOtherCurves(Gdiplus::Graphics& graphics);
    void DrawAllBypassLayers(Gdiplus::Graphics& graphics);

    // Pointer editing (FStaticTracking.cpp).
    void TrackPointer(CPoint p);
    int TrackBand(CFilter& band, CPoint p);
    void TrackCrossover(CPoint p);
    void DragStep(int changed, bool redrawFirst);
    void BeginPointDrag(CPoint p);
    void EndPointDrag();
    HCURSOR ChooseCursor() const;

    CWnd* m_pOwner = nullptr;
    CKTV_Data* m_pData = nullptr;
    CKTV_OutData* m_pCurOut = nullptr;
    CKTVEQ* m_pEQ = nullptr;
    HCURSOR m_hCurMove = nullptr;
    HCURSOR m_hCurSizeWE = nullptr;
    HCURSOR m_hCurSizeNS = nullptr;
    std::array<int, kGridLines> m_nGridX{};
    CRect m_rcPlot;
    int m_bOnHandle = 0;
    int m_bChanged = 0;
    int m_nCurBand = 0;
    int m_nHighlight = -1;
    int m_nMode = ModeNone;
    int m_nObjectCode = 0;
    int m_nCurOutput = 0;
    // The other outputs' curves, drawn once into a layer of their own and
    // drawn again only when one of them, its colour or the set shown changes:
    // a drag repaints the current curve alone.
    std::unique_ptr<Gdiplus::Bitmap> m_pOtherCurves;
    std::vector<std::uint32_t> m_OtherCurvesKey;
    // The all-bypass text: its outline and the seven strokes around it.
    std::unique_ptr<Gdiplus::GraphicsPath> m_pAllBypassPath;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 7> m_AllBypassStrokes;
    std::array<int, 3> m_AllBypassKey{};
};
