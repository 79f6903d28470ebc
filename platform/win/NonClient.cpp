#include "platform/win/NonClient.h"

#include "platform/win/Window.h"

#include <algorithm>

namespace platform::win {

namespace {

constexpr int kCaption = 19;
constexpr int kSizingFrame = 4;
constexpr int kDialogFrame = 3;
constexpr int kBorder = 1;

} // namespace

QMargins FrameMargins(const Window& w) {
    // Owned popups are frameless tool windows: nothing surrounds them.
    if (w.IsChild() || w.IsOwnedPopup())
        return {};
    return TopLevelFrameMargins(w.style, w.className == "#32770");
}

QMargins TopLevelFrameMargins(DWORD style, bool dialog) {
    int side = 0;
    if (style & WS_THICKFRAME)
        side = kSizingFrame;
    else if ((style & WS_DLGFRAME) || (dialog && (style & DS_MODALFRAME)))
        side = kDialogFrame;
    else if (style & WS_BORDER)
        side = kBorder;
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
    return QMargins(side, side + caption, side, side);
}

QRect OuterRect(const Window& w) {
    return QRect(w.ScreenOrigin(), w.rect.size()).marginsAdded(FrameMargins(w));
}

QRect ClientRectFor(const Window& w, const QRect& outer) {
    const QMargins m = FrameMargins(w);
    const QRect client = outer.marginsRemoved(m);
    return QRect(client.topLeft(), QSize(std::max(0, client.width()), std::max(0, client.height())));
}

Qt::WindowFlags TopLevelWindowFlags(DWORD style, DWORD exStyle) {
    // Without the customising hint the desktop adds the boxes it likes.
    Qt::WindowFlags flags = Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
        if (style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

} // namespace platform::win
