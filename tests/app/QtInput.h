#pragma once

// Keys and clicks as Qt's own events on the program's real windows, the way
// a person's input arrives: through the host widgets and the layer's
// translation, never as messages made by hand.

#include "platform/win/Window.h"
#include "platform/win/Wnd.h"

#include <QTest>
#include <QWidget>

#include <vector>

namespace apptest {

// The top-level window that holds the keyboard focus: the one Qt gives the
// keys to while it is active.
inline QWidget* KeyboardWindow() {
    platform::win::Window* w = platform::win::Window::From(::GetFocus());
    return w && w->widget ? w->widget->window() : nullptr;
}

struct Stroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// The text a key event carries on the X11 desktop, where QTest's own would
// differ: Delete carries DEL, Ctrl with a letter its control character.
inline QString DesktopText(const Stroke& s) {
    if (s.key == Qt::Key_Delete)
        return QString(QChar(char16_t(0x7F)));
    if ((s.modifiers & Qt::ControlModifier) && s.key >= Qt::Key_A && s.key <= Qt::Key_Z)
        return QString(QChar(char16_t(s.key - Qt::Key_A + 1)));
    const char ascii = QTest::keyToAscii(s.key);
    return ascii ? QString(QChar::fromLatin1(ascii)) : QString();
}

inline void Press(const std::vector<Stroke>& strokes) {
    for (const Stroke& s : strokes)
        if (QWidget* w = KeyboardWindow())
            QTest::sendKeyEvent(QTest::Click, w, s.key, DesktopText(s), s.modifiers);
}

// Each character as a key carrying it; a character beyond ASCII comes as
// a key Qt does not know, with the character as its text.
inline void TypeText(const char* text) {
    for (const QChar c : QString::fromUtf8(text)) {
        const char ascii = c.unicode() < 0x80 ? char(c.unicode()) : 0;
        if (QWidget* w = KeyboardWindow())
            QTest::sendKeyEvent(QTest::Click, w, ascii ? QTest::asciiToKey(ascii) : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
    }
}

// A left click at a client point of a window, on its own host widget.
inline void ClickAt(CWnd& wnd, QPoint at) {
    platform::win::Window* w = platform::win::Window::From(wnd.GetSafeHwnd());
    if (w && w->widget)
        QTest::mouseClick(w->widget, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace apptest
