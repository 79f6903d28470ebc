#include "platform/win/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
std::optional<RECT>& Fixed() {
    static std::optional<RECT> area;
    return area;
}
} // namespace

void platform::win::SetWorkAreaForTesting(std::optional<RECT> area) {
    Fixed() = area;
}

BOOL SystemParametersInfo(UINT action, UINT, void* param, UINT) {
    if (action != SPI_GETWORKAREA || !param)
        return FALSE;
    auto* out = static_cast<RECT*>(param);
    if (Fixed()) {
        *out = *Fixed();
        return TRUE;
    }
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    const QRect r = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    *out = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return TRUE;
}
