// Pointer editing of the response graph: hovering selects a filter, the
// point handle and the bandwidth handles are dragged through the filter's
// own drag operations, and the notice timer tells the owner.

#include "controls/FStatic.h"

#include "model/Globals.h"
#include "model/KTV_OutData.h"
#include "platform/sys/UserMessages.h"

namespace {

bool IsCrossover(const CFilter& filter) {
    return filter.GetType() == CFilter::HighPass || filter.GetType() == CFilter::LowPass;
}

bool Tracks(int mode) {
    return mode >= CFStatic::ModeEffect && mode <= CFStatic::ModeOutput;
}

} // namespace

void CFStatic::OnMouseMove(UINT flags, CPoint point) {
    if (Tracks(m_nMode) && (g_nWorkMode == 1 || g_nWorkMode == 2))
        TrackPointer(point);
    CStatic::OnMouseMove(flags, point);
}

void CFStatic::OnLButtonDown(UINT flags, CPoint point) {
    SetFocus();
    SetCapture();
    if (Tracks(m_nMode))
        BeginPointDrag(point);
    m_bButtonUp = 0;
    CStatic::OnLButtonDown(flags, point);
}

void CFStatic::OnLButtonUp(UINT flags, CPoint point) {
    ReleaseCapture();
    m_bButtonUp = 1;
    if (Tracks(m_nMode))
        EndPointDrag();
    CStatic::OnLButtonUp(flags, point);
}

BOOL CFStatic::OnSetCursor(CWnd*, UINT, UINT) {
    ::SetCursor(ChooseCursor());
    return TRUE;
}

HCURSOR CFStatic::ChooseCursor() const {
    HCURSOR chosen = nullptr;
    const CFilter* sel = m_pSelFilter;
    if (sel && m_bOnHandle) {
        if (sel->m_bHitLow || sel->m_bHitHigh || IsCrossover(*sel))
            chosen = m_hCurSizeWE;
        else if (sel->GetGainOnlyLabel())
            chosen = m_hCurSizeNS;
    }
    if (!chosen && m_bOnHandle)
        chosen = m_hCurMove;
    return chosen ? chosen : LoadCursor(nullptr, IDC_ARROW);
}

void CFStatic::OnTimer(UINT_PTR id) {
    if (id != kNoticeTimer || !m_pOwner)
        return;
    if (m_bChanged) {
        m_bChanged = 0;
        m_pOwner->PostMessage(UM_EQ_POINT_DRAGGED, WPARAM(m_nCurBand), LPARAM(m_nObjectCode));
    } else if (m_bButtonUp) {
        // Repeated until the owner clears m_bButtonUp.
        m_pOwner->PostMessage(UM_EQ_POINT_DRAGGED, WPARAM(m_nCurBand), LPARAM(m_nObjectCode));
    }
}

void CFStatic::OnKillFocus(CWnd* newWnd) {
    CStatic::OnKillFocus(newWnd);
    if (m_pOwner)
        m_pOwner->PostMessage(UM_EQ_GRAPH_KILLFOCUS, 0, 0);
}

// After a drag step: a changed value is reported at the next tick and the
// plot follows it.  Some steps redraw once whether or not anything changed.
void CFStatic::DragStep(int changed, bool redrawFirst) {
    if (redrawFirst)
        Redraw(-1);
    if (changed) {
        m_bChanged = 1;
        Redraw(-1);
    }
}

void CFStatic::TrackPointer(CPoint p) {
    if (!m_pEQ) {
        m_bOnHandle = 0;
        return;
    }
    if (m_pSelFilter && IsCrossover(*m_pSelFilter)) {
        TrackCrossover(p);
        return;
    }
    int hit = -1; // -1: search the handles
    if (m_pSelFilter)
        hit = TrackBand(*m_pSelFilter, p);
    if (hit < 0) {
        hit = 0;
        for (int i = 0; i < m_pEQ->GetSize(); ++i) {
            CFilter* filter = m_pEQ->GetAt(i);
            if (filter->GetHandleRect().PtInRect(p)) {
                m_pSelFilter = filter;
                filter->m_bHitCentre = 1;
                hit = 1;
                m_nCurBand = i;
                Redraw(-1);
                break;
            }
        }
    }
    m_bOnHandle = hit;
}

// The selected band under the pointer: 1 over one of its handles, 0 while
// one of them is dragged elsewhere, -1 when the handles are to be searched.
int CFStatic::TrackBand(CFilter& band, CPoint p) {
    const bool inPoint = band.GetHandleRect().PtInRect(p);
    if (!inPoint && band.m_bDragCentre) {
        DragStep(band.DragPoint(p), true);
        return 0;
    }
    if (inPoint) {
        band.m_bHitCentre = 1;
        band.m_bHitLow = 0;
        band.m_bHitHigh = 0;
        if (band.m_bDragCentre)
            DragStep(band.DragPoint(p), false);
        return 1;
    }
    if (band.GetGainOnlyLabel())
        return -1;
    const bool inLow = band.GetBwLowRect().PtInRect(p);
    if (!inLow && band.m_bDragLow) {
        DragStep(band.DragBandwidth(p), false);
        return 0;
    }
    if (inLow) {
        band.m_bHitCentre = 0;
        band.m_bHitLow = 1;
        band.m_bHitHigh = 0;
        band.m_bDragHigh = 0;
        if (band.m_bDragLow)
            DragStep(band.DragBandwidth(p), false);
        return 1;
    }
    const bool inHigh = band.GetBwHighRect().PtInRect(p);
    if (!inHigh && band.m_bDragHigh) {
        DragStep(band.DragBandwidth(p), false);
        return 0;
    }
    if (inHigh) {
        band.m_bHitCentre = 0;
        band.m_bHitLow = 0;
        band.m_bHitHigh = 1;
        band.m_bDragLow = 0;
        if (band.m_bDragHigh)
            DragStep(band.DragBandwidth(p), false);
        return 1;
    }
    return -1;
}

void CFStatic::TrackCrossover(CPoint p) {
    CFilter& corner = *m_pSelFilter;
    const bool inMarker = corner.GetHandleRect().PtInRect(p);
    if (!inMarker && !corner.m_bDragCentre) {
        m_pSelFilter = nullptr;
        m_bOnHandle = 0;
        return;
    }
    if (corner.m_bDragCentre && m_pCurOut) {
        const CFilter* other =
            corner.GetType() == CFilter::HighPass ? m_pCurOut->GetLowPass() : m_pCurOut->GetHighPass();
        DragStep(corner.DragCrossover(p, other->GetFrequency()), !inMarker);
    }
    m_bOnHandle = 1;
}

void CFStatic::BeginPointDrag(CPoint p) {
    // The owner may have dropped the selection since the pointer last moved.
    if (!m_bOnHandle || !m_pSelFilter)
        return;
    CFilter& sel = *m_pSelFilter;
    if (sel.m_bHitCentre) {
        sel.m_bDragCentre = 1;
        sel.BeginDrag(p);
    } else if (sel.GetType() == CFilter::Peaking) {
        if (sel.m_bHitLow)
            sel.m_bDragLow = 1;
        else if (sel.m_bHitHigh)
            sel.m_bDragHigh = 1;
    }
}

void CFStatic::EndPointDrag() {
    if (!m_pSelFilter)
        return;
    CFilter& sel = *m_pSelFilter;
    if (sel.m_bHitCentre) {
        sel.m_bHitCentre = sel.m_bHitLow = sel.m_bHitHigh = 0;
        sel.m_bDragCentre = sel.m_bDragLow = sel.m_bDragHigh = 0;
        m_bOnHandle = 0;
        return;
    }
    if (sel.m_bHitLow) {
        sel.m_bHitLow = 0;
        sel.m_bDragLow = 0;
        m_bOnHandle = 0;
    }
    if (sel.m_bHitHigh) {
        sel.m_bHitHigh = 0;
        sel.m_bDragHigh = 0;
        m_bOnHandle = 0;
    }
}
