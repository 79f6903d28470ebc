#include "platform/win/Cursor.h"

#include "platform/res/Resources.h"

#include <QPixmap>

#include <map>

namespace {

Qt::CursorShape ShapeOf(UINT id) {
    switch (id) {
    case IDC_IBEAM:
        return Qt::IBeamCursor;
    case IDC_WAIT:
        return Qt::WaitCursor;
    case IDC_CROSS:
        return Qt::CrossCursor;
    case IDC_SIZEWE:
        return Qt::SizeHorCursor;
    case IDC_SIZENS:
        return Qt::SizeVerCursor;
    case IDC_SIZEALL:
        return Qt::SizeAllCursor;
    case IDC_HAND:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

HCURSOR LoadCursor(HINSTANCE instance, UINT id) {
    static auto* loaded = new std::map<std::pair<bool, UINT>, platform::win::CursorData*>;
    auto& slot = (*loaded)[{instance != nullptr, id}];
    if (slot)
        return slot;
    if (!instance) {
        slot = new platform::win::CursorData{QCursor(ShapeOf(id)), 0, int(id)};
        return slot;
    }
    auto image = platform::res::Provider().Cursor(id);
    if (!image || image->image.isNull())
        return nullptr;
    slot = new platform::win::CursorData{
        QCursor(QPixmap::fromImage(image->image), image->hotSpot.x(), image->hotSpot.y()), id, 0};
    return slot;
}

HCURSOR CopyCursor(HCURSOR cursor) {
    return cursor ? new platform::win::CursorData(*cursor) : nullptr;
}

BOOL DestroyCursor(HCURSOR cursor) {
    delete cursor;
    return TRUE;
}
