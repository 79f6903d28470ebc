// How a filter shows in the response graph: its curve polyline, the point
// handle, the bandwidth handles, the label, and the drags that edit it.
// Coordinates are graph client pixels; the plot starts kPlotLeft, kPlotTop
// into the graph.

#include "model/Filter.h"

#include "model/FilterSliderLink.h"
#include "model/Globals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace {

constexpr int kHandleSize = 16;
constexpr int kBwHandleHalf = 4;
constexpr int kShelfCornerHz = 2000;

CString Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

double CFilter::ShownGain() const {
    if (IsFlatOrBypassed())
        return 0.0;
    if (std::isnan(m_dGain))
        return 0.0;
    return std::clamp(m_dGain, -20.0, 20.0);
}

void CFilter::SetGraphRect(const CRect& plot) {
    m_nGraphHeight = plot.Height();
    m_nGraphWidth = plot.Width();
    UpdateGeometry();
    const int zeroY = GainToPos(0.0, m_nGraphHeight) + kPlotTop;
    m_ptCurve[0] = CPoint(kPlotLeft, zeroY);
    m_ptCurve[kCurvePoints - 1] = CPoint(m_nGraphWidth + kPlotLeft, zeroY);
    for (int s = 0; s < kFreqSteps; ++s)
        m_ptCurve[s + 1].x = FreqToPos(g_FreqTable[s + 1], m_nGraphWidth) + kPlotLeft;
    ComputeResponse();
}

void CFilter::UpdateHandles() {
    const int width = m_nGraphWidth;
    const int height = m_nGraphHeight;
    int x = FreqToPos(ShapingFreq(), width) - kHandleSize / 2;
    int y = GainToPos(ShownGain(), height) - kHandleSize / 2;
    x = std::max(x, -kHandleSize / 2);
    y = std::max(y, 0);
    // Bands of the upper half never hang over the left edge.
    if (x <= 0 && m_nBandNo >= 9)
        x = 0;
    CRect square(x, y, x + kHandleSize, y + kHandleSize);
    if (square.right > width)
        square.OffsetRect(width - square.right, 0);
    if (square.bottom > height)
        square.OffsetRect(0, height - square.bottom);
    square.OffsetRect(kPlotLeft, kPlotTop);
    m_rcHandle = square;

    // The label sits below the handle, or above it near the bottom.
    if (m_rcHandle.bottom >= height - 15) {
        m_rcLabel.top = m_rcHandle.top - 25;
        m_rcLabel.bottom = m_rcHandle.bottom - 25;
    } else {
        m_rcLabel.top = m_rcHandle.top + 25;
        m_rcLabel.bottom = m_rcHandle.bottom + 25;
    }
    const int right = width + kPlotLeft;
    const int handleWidth = m_rcHandle.Width();
    int left = 0;
    int labelRight = 0;
    if (m_nType == Peaking && m_bGainOnly) {
        if (m_rcHandle.right + 20 > right) {
            left = right - 50;
            labelRight = right;
        } else if (m_rcHandle.left - 20 < kPlotLeft) {
            left = kPlotLeft;
            labelRight = handleWidth + 70;
        } else {
            left = m_rcHandle.left - 25;
            labelRight = m_rcHandle.right + 25;
        }
    } else if (m_nType == Peaking) {
        if (m_rcHandle.right + 80 > right) {
            left = right - 160;
            labelRight = right;
        } else if (m_rcHandle.left - 60 < kPlotLeft) {
            left = kPlotLeft;
            labelRight = handleWidth + 160;
        } else {
            left = m_rcHandle.left - 80;
            labelRight = m_rcHandle.right + 80;
        }
    } else if (m_rcHandle.right + 110 > right) {
        left = right - 116;
        labelRight = right;
    } else {
        left = m_rcHandle.left;
        labelRight = m_rcHandle.right + 90;
    }
    m_rcLabel.left = left;
    m_rcLabel.right = labelRight;

    UpdateBandwidthHandles();
}

void CFilter::UpdateBandwidthHandles() {
    const int cy = m_rcHandle.CenterPoint().y + (m_dGain >= 0.0 ? 10 : -10);
    const double freq = ShapingFreq();
    const double half = std::pow(2.0, ShapingBandwidth() / 2.0);
    const int upper = static_cast<int>(freq * half);
    const int xUp = FreqToPos(upper, m_nGraphWidth) + 50;
    m_rcBwHigh = CRect(xUp - kBwHandleHalf, cy - kBwHandleHalf, xUp + kBwHandleHalf, cy + kBwHandleHalf);
    const int xLow = FreqToPos(freq / half, m_nGraphWidth) + 30;
    m_rcBwLow = CRect(xLow - kBwHandleHalf, cy - kBwHandleHalf, xLow + kBwHandleHalf, cy + kBwHandleHalf);
}

void CFilter::UpdateCrossoverMarker() {
    const int width = m_nGraphWidth;
    int x = std::max(FreqToPos(ShapingFreq(), width) - kHandleSize / 2, -kHandleSize / 2);
    const int y = GainToPos(m_nType == HighPass ? -7.0 : -10.0, m_nGraphHeight);
    if (x + kHandleSize > width + 8)
        x = width - 8;
    m_rcHandle = CRect(x, y, x + kHandleSize, y + kHandleSize);
    m_rcHandle.OffsetRect(kPlotLeft, kPlotTop);

    const int right = width + kPlotLeft;
    m_rcLabel.top = m_rcHandle.top - 15;
    if (m_rcHandle.right + 50 > right) {
        m_rcLabel.left = right - 66;
        m_rcLabel.right = right;
    } else {
        m_rcLabel.left = m_rcHandle.left;
        m_rcLabel.right = m_rcHandle.right + 50;
    }
    m_rcLabel.bottom = m_rcHandle.bottom + (m_nType == HighPass ? 25 : 20);
}

CString CFilter::GetLabelText() {
    const CString gain = IsFlatOrBypassed() ? CString("0.0") : Format("%.1f", m_dGain);
    const CString freq = std::to_string(m_nFreq);
    const int qIndex = std::clamp(GetBandwidthIndex(), 0, kQTableSize - 1);
    const double q = g_QTable[qIndex];
    const CString qText = Format(q > 10.0 ? "%.2f" : "%.3f", q);
    const char* shelfSlope = m_nSlope == 0 ? "6dB/Oct" : m_nSlope == 1 ? "12dB/Oct" : "";

    switch (m_nType) {
    case Peaking:
        m_strLabel = m_bGainOnly ? gain + "dB" : freq + "Hz " + qText + "Q " + gain + "dB";
        break;
    case LowShelf:
        m_strLabel = "Lo " + freq + "Hz " + shelfSlope + " " + gain + "dB";
        break;
    case HighShelf:
        m_strLabel = "Hi " + freq + "Hz " + shelfSlope + " " + gain + "dB";
        break;
    case HighPass:
    case LowPass:
        if (m_nSlope == kSlopeOff)
            m_strLabel = g_bChinese ? "关闭" : "OFF";
        else
            m_strLabel = freq + "Hz";
        break;
    default:
        m_strLabel.clear();
        break;
    }
    return m_strLabel;
}

void CFilter::BeginDrag(CPoint mouse) {
    m_ptDragOffset = mouse - m_rcHandle.CenterPoint();
}

int CFilter::DragPoint(CPoint mouse) {
    std::lock_guard lock(g_csModel);
    if (m_nType == HighPass || m_nType == LowPass)
        return 0;
    const CPoint p = mouse - m_ptDragOffset;
    const int x = std::clamp(p.x - kPlotLeft, 0, std::max(m_nGraphWidth, 0));
    const int y = std::clamp(p.y - kPlotTop, 0, std::max(m_nGraphHeight, 0));
    const int oldFreq = m_nFreq;
    const int oldGainIndex = GetGainIndex();

    if (!m_bGainOnly)
        m_nFreq = PosToFreq(x, m_nGraphWidth);
    // The point follows the mouse on the 0.1 dB grid of the gain index.
    double gain = m_nGraphHeight > 0 ? 12.0 - y * 24.0 / m_nGraphHeight : 0.0;
    gain = std::clamp(gain, -12.0, 12.0);
    m_dGain = TruncToInt((gain + 20.0) * 10.0 + 0.5) * 0.1 - 20.0;
    if (m_dGain != 0.0) {
        m_bFlat = 0;
        m_bBypass = 0;
    } else {
        m_bFlat = 1;
    }

    const int changed = m_nFreq != oldFreq || GetGainIndex() != oldGainIndex || y == 0;
    if (changed)
        SetFreq(m_nFreq, 1);
    if ((m_nType == LowShelf && m_nFreq > kShelfCornerHz) ||
        (m_nType == HighShelf && m_nFreq < kShelfCornerHz))
        SetFreq(kShelfCornerHz, 1);
    if (m_pLinkedSlider)
        m_pLinkedSlider->OnFilterGainDragged(GetGainIndex());
    UpdateHandles();
    ComputeResponse();
    return changed;
}

int CFilter::DragBandwidth(CPoint mouse) {
    std::lock_guard lock(g_csModel);
    if (!m_bDragLow && !m_bDragHigh)
        return 1;
    const double mouseFreq = PosToFreq(mouse.x - kPlotLeft, m_nGraphWidth);
    const double freq = ShapingFreq();
    const double ratio = m_bDragLow ? freq / mouseFreq : mouseFreq / freq;
    m_dBandwidth = std::clamp(2.0 * std::log10(ratio) / std::log10(2.0), 0.05, 3.0);
    SetBandwidthIndexDrag(GetBandwidthIndex());
    return 1;
}

int CFilter::DragCrossover(CPoint mouse, int limitFreq) {
    std::lock_guard lock(g_csModel);
    const CPoint p = mouse - m_ptDragOffset;
    int x = p.x - kPlotLeft;
    if (m_nDragMode != 10 && m_nDragMode != 11 && x <= 0) {
        x = 0;
        if (m_nType == HighPass) {
            // The left edge switches a high-pass off.
            SetFreq(20, 1);
            return 1;
        }
    }
    x = std::min(x, m_nGraphWidth);
    const int freq = PosToFreq(x, m_nGraphWidth);
    if (freq == m_nFreq)
        return 0;
    int target = freq;
    if (m_nType == HighPass) {
        if (m_nDragMode != 11)
            target = std::min(freq, limitFreq);
        else if (freq > limitFreq && freq != 20000)
            target = limitFreq;
    } else {
        target = std::max(freq, limitFreq);
    }
    SetFreq(target, 1);
    return 1;
}
