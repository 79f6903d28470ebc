#include "controls/FStatic.h"

#include "controls/MemDC.h"
#include "model/Globals.h"
#include "model/KTV_Data.h"
#include "platform/gdi/GdiplusPath.h"
#include "platform/win/PaintDC.h"

#include <cstdio>
#include <cstring>

BEGIN_MESSAGE_MAP(CFStatic, CStatic)
ON_WM_PAINT()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_SETCURSOR()
ON_WM_TIMER()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

// The plot inside the client area.
constexpr int kPlotLeft = 40;
constexpr int kPlotTop = 10;
constexpr int kPlotRight = 10;
constexpr int kPlotBottom = 20;
constexpr int kDbDivisions = 8;

constexpr int kGridHz[CFStatic::kGridLines] = {20,   30,   40,   50,   60,   70,   80,   90,   100,
                                               200,  300,  400,  500,  600,  700,  800,  900,  1000,
                                               2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000};

struct FreqLabel {
    int hz;
    const char* text;
    int shift; // left of the frequency's x
};
constexpr FreqLabel kFreqLabels[] = {
    {30, "30", 8},      {40, "40", 8},     {50, "50", 8},    {70, "70", 8},    {100, "100", 10},
    {200, "200", 10},   {300, "300", 10},  {500, "500", 10}, {700, "700", 10}, {1000, "1K", 8},
    {2000, "2K", 8},    {3000, "3K", 8},   {4000, "4K", 8},  {5000, "5K", 8},  {7000, "7K", 8},
    {10000, "10K", 10}, {20000, "20K", 15}};

constexpr const char* kDbLabels[kDbDivisions - 1] = {"+9", "+6", "+3", "0dB", "-3", "-6", "-9"};

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(100, 100, 100);
constexpr COLORREF kFrame = RGB(149, 149, 149);
constexpr COLORREF kShade = RGB(50, 49, 49);

Gdiplus::Color CurveColor(const CKTV_OutData& out) {
    return Gdiplus::Color(out.GetCurvePen().Value());
}

void DrawCurve(Gdiplus::Graphics& g, CKTV_OutData& out, float width) {
    const CurvePointF* points = out.GetCurvePointsF();
    Gdiplus::PointF line[kFreqSteps];
    for (int i = 0; i < kFreqSteps; ++i)
        line[i] = {points[i].x, points[i].y};
    Gdiplus::Pen pen(CurveColor(out), width);
    g.DrawLines(&pen, line, kFreqSteps);
}

} // namespace

CFStatic::CFStatic() {
    LoadCursors();
}

CFStatic::~CFStatic() {
    m_pOwner = nullptr;
}

// On this platform the standard cursors always exist; a missing one shows
// the arrow (ChooseCursor).
void CFStatic::LoadCursors() {
    m_hCurMove = LoadCursor(nullptr, IDC_SIZEALL);
    m_hCurSizeWE = LoadCursor(nullptr, IDC_SIZEWE);
    m_hCurSizeNS = LoadCursor(nullptr, IDC_SIZENS);
}

void CFStatic::AttachKTVData(CKTV_Data* data, int type) {
    m_pData = data;
    if (!GetSafeHwnd())
        return;
    Layout();
    if (!data)
        return;
    if (type == ModeMusic)
        data->SetMusicCurveRect(m_rcPlot);
    else if (type == ModeOutput)
        data->SetOutputCurveRect(m_rcPlot);
}

void CFStatic::Layout() {
    GetClientRect(&m_rcClient);
    GetWindowRect(&m_rcWindow);
    m_rcPlot = m_rcClient;
    m_rcPlot.DeflateRect(kPlotLeft, kPlotTop, kPlotRight, kPlotBottom);
    for (int i = 0; i < kGridLines; ++i)
        m_nGridX[std::size_t(i)] = FreqToPos(kGridHz[i], m_rcPlot.Width()) + kPlotLeft;
    SetTimer(kNoticeTimer, kNoticeMs);
}

void CFStatic::SelectOutput(int n) {
    // The index may come from a stored value; an output that does not exist
    // keeps the one shown.
    if (!m_pData || n < 0 || n >= kOutputCount)
        return;
    m_pCurOut = m_pData->GetOutput(n);
    m_pEQ = &m_pCurOut->GetEQ();
    m_pSelFilter = nullptr;
    m_nMode = ModeOutput;
    m_nObjectCode = 0x300 + n;
    m_nCurOutput = n;
    Redraw(-1);
}

void CFStatic::SetMode(int mode) {
    m_nMode = mode;
    Redraw(-1);
}

CFilter* CFStatic::FilterAt(int index) const {
    if (!m_pEQ || index < 0 || index >= m_pEQ->GetSize())
        return nullptr;
    return m_pEQ->GetAt(index);
}

void CFStatic::Redraw(int highlight) {
    m_nHighlight = highlight;
    if (!GetSafeHwnd())
        return;
    if (m_nMode == ModeNone)
        DrawEmptyPlot();
    else if (m_nMode == ModeOutput)
        DrawOutput();
}

void CFStatic::EnableControl(BOOL enable) {
    InvalidateRect(nullptr, FALSE);
    EnableWindow(enable);
}

void CFStatic::EnableGraph(BOOL enable) {
    m_pSelFilter = nullptr;
    EnableControl(enable);
    UpdateWindow();
}

void CFStatic::OnPaint() {
    { CPaintDC validate(this); }
    DrawBackground();
    Redraw(m_nHighlight);
}

void CFStatic::DrawBackground() {
    CDC* dc = GetDC();
    if (!dc)
        return;
    {
        CMemDC mem(dc, &m_rcClient);
        mem->SelectStockObject(BLACK_PEN);
        mem->SelectStockObject(BLACK_BRUSH);
        mem->Rectangle(&m_rcClient);

        mem->SetBkColor(kBlack);
        mem->SetTextColor(kGrey);
        const int h = m_rcPlot.Height();
        mem->TextOut(6, m_rcClient.top + 5, "+12");
        for (int k = 1; k < kDbDivisions; ++k)
            mem->TextOut(6, h / kDbDivisions * k + 3, kDbLabels[k - 1]);
        mem->TextOut(6, h, "-12");

        const int w = m_rcPlot.Width();
        mem->TextOut(30, m_rcPlot.bottom, "20");
        for (const FreqLabel& label : kFreqLabels)
            mem->TextOut(FreqToPos(label.hz, w) + kPlotLeft - label.shift, m_rcPlot.bottom, label.text);
    }
    ReleaseDC(dc);
}

void CFStatic::DrawGrid(CDC* dc) const {
    CPen pen(PS_SOLID, 1, kGrey);
    CPen* old = dc->SelectObject(&pen);
    for (int i = 1; i < kGridLines; ++i) {
        dc->MoveTo(m_nGridX[std::size_t(i)], m_rcPlot.top);
        dc->LineTo(m_nGridX[std::size_t(i)], m_rcPlot.bottom);
    }
    const int h = m_rcPlot.Height();
    for (int k = 1; k <= kDbDivisions; ++k) {
        const int y = m_rcPlot.top + int(h / double(kDbDivisions) * k);
        dc->MoveTo(m_rcPlot.left, y);
        dc->LineTo(m_rcPlot.right, y);
    }
    dc->SelectObject(old);
}

// The black plot area inside a one-pixel frame.
void CFStatic::FillPlot(CDC* dc, COLORREF frameColour) const {
    CPen frame(PS_SOLID, 1, frameColour);
    CBrush fill(kBlack);
    CPen* oldPen = dc->SelectObject(&frame);
    CBrush* oldBrush = dc->SelectObject(&fill);
    dc->Rectangle(&m_rcPlot);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void CFStatic::DrawEmptyPlot() {
    CDC* dc = GetDC();
    if (!dc)
        return;
    {
        CMemDC mem(dc, &m_rcPlot);
        FillPlot(mem, kWhite);
        DrawGrid(mem);
    }
    ReleaseDC(dc);
}

void CFStatic::DrawOutput() {
    if (g_nWorkMode == 1 || g_nWorkMode == 2)
        DrawOutputPlot();
}

void CFStatic::DrawOutputPlot() {
    // SetMode(4) may come before any output was selected: nothing to show.
    if (!m_pData || !m_pCurOut || !m_pEQ)
        return;
    CDC* dc = GetDC();
    if (!dc)
        return;
    {
        CMemDC mem(dc, &m_rcPlot);
        FillPlot(mem, kFrame);

        // A highlight index outside the set (it can come from a stored
        // value) selects nothing and keeps the selection.
        if (CFilter* chosen = FilterAt(m_nHighlight)) {
            m_pSelFilter = chosen;
            m_nCurBand = m_nHighlight;
        } else {
            m_nHighlight = -1;
        }

        if (m_pSelFilter) {
            CPen pen(PS_SOLID, 1, kShade);
            CBrush brush(kShade);
            CPen* oldPen = mem->SelectObject(&pen);
            CBrush* oldBrush = mem->SelectObject(&brush);
            mem->Polygon(m_pSelFilter->GetCurve(), CFilter::kCurvePoints);
            mem->SelectObject(oldBrush);
            mem->SelectObject(oldPen);
        }

        DrawGrid(mem);

        m_pCurOut->UpdateCurve();
        DrawOutputCurves(mem, -1);

        DrawFilterNumbers(mem);

        if (m_pSelFilter && m_pSelFilter->GetType() == CFilter::Peaking &&
            !m_pSelFilter->GetGainOnlyLabel()) {
            CPen pen(PS_SOLID, 1, kRed);
            CBrush brush(kShade);
            CPen* oldPen = mem->SelectObject(&pen);
            CBrush* oldBrush = mem->SelectObject(&brush);
            mem->Rectangle(&m_pSelFilter->GetBwLowRect());
            mem->Rectangle(&m_pSelFilter->GetBwHighRect());
            mem->SelectObject(oldBrush);
            mem->SelectObject(oldPen);
        }

        if (m_pSelFilter) {
            mem->SetTextColor(kRed);
            CRect box = m_pSelFilter->GetLabelRect();
            mem->DrawText(m_pSelFilter->GetLabelText(), &box, DT_CENTER | DT_TOP);
        }
    }
    ReleaseDC(dc);
}

void CFStatic::DrawFilterNumbers(CDC* dc) const {
    dc->SetBkColor(kBlack);
    dc->SetTextColor(kWhite);
    dc->SetBkMode(TRANSPARENT);
    // From the last filter down, so that the lower index ends on top.
    for (int i = m_pEQ->GetSize() - 1; i >= 0; --i) {
        const CFilter* filter = m_pEQ->GetAt(i);
        char text[16] = "";
        switch (filter->GetType()) {
        case CFilter::Peaking:
        case CFilter::LowShelf:
        case CFilter::HighShelf:
            std::snprintf(text, sizeof text, "%d", i + 1);
            break;
        case CFilter::HighPass:
            std::snprintf(text, sizeof text, "H");
            break;
        case CFilter::LowPass:
            std::snprintf(text, sizeof text, "L");
            break;
        default: // a type byte no filter has: no number
            break;
        }
        const bool selected = m_nHighlight >= 0 ? i == m_nHighlight : filter == m_pSelFilter;
        dc->SetTextColor(selected ? kRed : kWhite);
        CRect box = filter->GetHandleRect();
        UINT align = DT_CENTER;
        if (box.right == m_rcPlot.right)
            align = DT_LEFT;
        else if (filter->GetFrequency() <= 20)
            align = DT_RIGHT;
        else if (filter->GetFrequency() >= 20000)
            align = DT_LEFT;
        dc->DrawText(text, -1, &box, DT_TOP | DT_SINGLELINE | align);
    }
}

void CFStatic::DrawOutputCurves(CDC* surface, int n) {
    Gdiplus::Graphics g(surface->GetSafeHdc());
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetPageUnit(Gdiplus::UnitPixel);
    g.SetClip(Gdiplus::Rect{m_rcPlot.left, m_rcPlot.top, m_rcPlot.Width(), m_rcPlot.Height()});

    DrawOtherCurves(g);
    if (n < 0) {
        DrawCurve(g, *m_pCurOut, 2.0f);
        if (m_pCurOut->IsAllBypassed())
            DrawAllBypassLayers(g);
    } else if (n < kOutputCount) {
        DrawCurve(g, *m_pData->GetOutput(n), 2.0f);
    }
}

static_assert(sizeof(CurvePointF) == 2 * sizeof(float), "the layer's key copies curve points as floats");

void CFStatic::DrawOtherCurves(Gdiplus::Graphics& g) {
    // The current output's own overlay flag does not count: it is drawn once,
    // over these.
    std::vector<std::uint32_t> key{std::uint32_t(m_rcClient.Width()), std::uint32_t(m_rcClient.Height())};
    for (int i = 0; i < kOutputCount; ++i) {
        if (i == m_nCurOutput || !g_bOutCurveShown[i])
            continue;
        CKTV_OutData* out = m_pData->GetOutput(i);
        out->UpdateCurve();
        const std::size_t at = key.size();
        key.resize(at + 2 + 2 * kFreqSteps);
        key[at] = std::uint32_t(i);
        key[at + 1] = out->GetCurvePen().Value();
        std::memcpy(&key[at + 2], out->GetCurvePointsF(), 2 * kFreqSteps * sizeof(float));
    }
    if (key.size() == 2)
        return;
    if (!m_pOtherCurves || key != m_OtherCurvesKey) {
        m_pOtherCurves = std::make_unique<Gdiplus::Bitmap>(m_rcClient.Width(), m_rcClient.Height());
        Gdiplus::Graphics layer(m_pOtherCurves.get());
        layer.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        layer.SetClip(Gdiplus::Rect{m_rcPlot.left, m_rcPlot.top, m_rcPlot.Width(), m_rcPlot.Height()});
        for (int i = 0; i < kOutputCount; ++i) {
            if (i != m_nCurOutput && g_bOutCurveShown[i])
                DrawCurve(layer, *m_pData->GetOutput(i), 3.0f);
        }
        m_OtherCurvesKey = std::move(key);
    }
    g.DrawImage(m_pOtherCurves.get(), 0, 0);
}

void CFStatic::DrawAllBypassLayers(Gdiplus::Graphics& g) {
    // Stroking the outline seven times costs more than the rest of the graph
    // together. Each stroke is kept in a layer of its own and laid over the
    // plot in order: one translucent stroke on a clear layer, then blended,
    // comes within one level of the stroke drawn straight on the plot (a
    // layer holding all seven stacked drifts by up to three). The fill is
    // cheap and stays drawn straight.
    const std::array<int, 3> key{g_bChinese ? 1 : 0, m_rcClient.Width(), m_rcClient.Height()};
    if (!m_pAllBypassPath || key != m_AllBypassKey) {
        const CString text = g_bChinese ? "直通" : "All Bypass";
        const Gdiplus::FontFamily family("Arial");
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        auto path = std::make_unique<Gdiplus::GraphicsPath>();
        const Gdiplus::PointF origin{float(m_rcPlot.Width() / 2), float(m_rcPlot.Height() / 3)};
        path->AddString(text, &family, Gdiplus::FontStyleRegular, 48.0f, origin, &format);
        for (std::size_t i = 0; i < m_AllBypassStrokes.size(); ++i) {
            auto layer = std::make_unique<Gdiplus::Bitmap>(m_rcClient.Width(), m_rcClient.Height());
            Gdiplus::Graphics lg(layer.get());
            lg.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            lg.SetClip(Gdiplus::Rect{m_rcPlot.left, m_rcPlot.top, m_rcPlot.Width(), m_rcPlot.Height()});
            Gdiplus::Pen pen(Gdiplus::Color(32, 94, 104, 116), float(i + 1));
            pen.SetLineJoin(Gdiplus::LineJoinRound);
            lg.DrawPath(&pen, path.get());
            m_AllBypassStrokes[i] = std::move(layer);
        }
        m_pAllBypassPath = std::move(path);
        m_AllBypassKey = key;
    }
    for (const auto& layer : m_AllBypassStrokes)
        g.DrawImage(layer.get(), 0, 0);
    const Gdiplus::SolidBrush fill(Gdiplus::Color(155, 155, 155));
    g.FillPath(&fill, m_pAllBypassPath.get());
}
