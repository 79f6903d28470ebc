#include "platform/win/TopLevel.h"

#include "platform/res/Resources.h"
#include "platform/win/Window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform::win {

namespace {

QWidget* TopWidget(HWND hwnd) {
    Window* w = Window::From(hwnd);
    return w && w->widget && w->widget->isWindow() ? w->widget : nullptr;
}

void WatchScreen(QScreen* screen, HWND hwnd, QObject* context) {
    QObject::connect(screen, &QScreen::geometryChanged, context,
                     [hwnd] { ::PostMessage(hwnd, WM_DISPLAYCHANGE, 32, 0); });
    QObject::connect(screen, &QScreen::availableGeometryChanged, context,
                     [hwnd] { ::PostMessage(hwnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0); });
}

} // namespace

void MakeFramelessFixed(HWND hwnd) {
    Window* w = Window::From(hwnd);
    QWidget* widget = TopWidget(hwnd);
    if (!w || !widget)
        return;
    widget->setWindowFlag(Qt::FramelessWindowHint, true);
    widget->setFixedSize(w->rect.size());
    w->SyncWidget();
}

bool SetWindowIconResource(HWND hwnd, UINT id) {
    QWidget* widget = TopWidget(hwnd);
    auto bytes = res::Provider().Data(id, "ICON");
    if (!widget || !bytes)
        return false;
    QImage image = bytes->trimmed().startsWith("<") ? res::RenderSvg(*bytes) : QImage::fromData(*bytes);
    if (image.isNull())
        return false;
    widget->setWindowIcon(QIcon(QPixmap::fromImage(image)));
    return true;
}

bool StartSystemMove(HWND hwnd) {
    QWidget* widget = TopWidget(hwnd);
    if (!widget || QGuiApplication::platformName() != "wayland" || !widget->windowHandle())
        return false;
    return widget->windowHandle()->startSystemMove();
}

void WatchScreenChanges(HWND hwnd) {
    QWidget* widget = TopWidget(hwnd);
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!widget || !app)
        return;
    for (QScreen* screen : QGuiApplication::screens())
        WatchScreen(screen, hwnd, widget);
    QObject::connect(app, &QGuiApplication::screenAdded, widget, [hwnd, widget](QScreen* screen) {
        WatchScreen(screen, hwnd, widget);
        ::PostMessage(hwnd, WM_DISPLAYCHANGE, 32, 0);
    });
    QObject::connect(app, &QGuiApplication::screenRemoved, widget,
                     [hwnd](QScreen*) { ::PostMessage(hwnd, WM_DISPLAYCHANGE, 32, 0); });
}

bool GetWindowRgnBox(HWND hwnd, RECT* box) {
    QWidget* widget = TopWidget(hwnd);
    if (!widget || widget->mask().isEmpty())
        return false;
    const QRect r = widget->mask().boundingRect();
    *box = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return true;
}

bool IsMinimized(HWND hwnd) {
    QWidget* widget = TopWidget(hwnd);
    return widget && widget->isMinimized();
}

} // namespace platform::win

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    QWidget* widget = platform::win::TopWidget(hwnd);
    if (!widget)
        return 0;
    if (region)
        widget->setMask(region->region);
    else
        widget->clearMask();
    if (redraw)
        widget->update();
    return 1;
}
