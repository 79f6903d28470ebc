// SaveDC and RestoreDC: a drawing routine can change objects, colours and
// clipping freely and hand the DC back as it found it.

#include "platform/gdi/Dc.h"

using platform::gdi::DcData;
using platform::gdi::ObjectData;
using platform::gdi::ObjectRef;
using platform::gdi::SavedDcState;

namespace {

template <typename T> void Reselect(DcData& dc, T*& slot, const ObjectRef& saved) {
    auto* object = static_cast<T*>(saved.Get());
    if (object == slot)
        return;
    if (!object) {
        // Only a window DC has no bitmap, and it never gets one.
        return;
    }
    dc.Select(reinterpret_cast<ObjectData*&>(slot), object);
}

} // namespace

int CDC::SaveDC() {
    if (!m_hDC)
        return 0;
    DcData& d = *m_hDC;
    SavedDcState s;
    s.bitmap = ObjectRef(d.bitmap);
    s.brush = ObjectRef(d.brush);
    s.pen = ObjectRef(d.pen);
    s.font = ObjectRef(d.font);
    s.textColor = d.textColor;
    s.bkColor = d.bkColor;
    s.bkMode = d.bkMode;
    s.stretchMode = d.stretchMode;
    s.windowOrg = d.windowOrg;
    s.viewportOrg = d.viewportOrg;
    s.windowExt = d.windowExt;
    s.viewportExt = d.viewportExt;
    s.mapMode = d.mapMode;
    s.currentPos = d.currentPos;
    s.clip = d.clip;
    d.saved.push_back(s);
    return int(d.saved.size());
}

BOOL CDC::RestoreDC(int saved) {
    if (!m_hDC)
        return FALSE;
    DcData& d = *m_hDC;
    const int depth = int(d.saved.size());
    const int target = saved < 0 ? depth + saved + 1 : saved;
    if (target < 1 || target > depth)
        return FALSE;
    const SavedDcState s = d.saved[std::size_t(target - 1)];
    d.saved.erase(d.saved.begin() + (target - 1), d.saved.end());
    Reselect(d, d.bitmap, s.bitmap);
    Reselect(d, d.brush, s.brush);
    Reselect(d, d.pen, s.pen);
    Reselect(d, d.font, s.font);
    d.textColor = s.textColor;
    d.bkColor = s.bkColor;
    d.bkMode = s.bkMode;
    d.stretchMode = s.stretchMode;
    d.windowOrg = s.windowOrg;
    d.viewportOrg = s.viewportOrg;
    d.windowExt = s.windowExt;
    d.viewportExt = s.viewportExt;
    d.mapMode = s.mapMode;
    d.currentPos = s.currentPos;
    d.clip = s.clip;
    return TRUE;
}
