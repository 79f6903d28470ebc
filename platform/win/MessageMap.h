#pragma once

// Message maps.  A class declares DECLARE_MESSAGE_MAP() and lists its
// handlers between BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP() with
// the framework's entry macros and handler names:
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_WM_LBUTTONDOWN()
//       ON_MESSAGE(UM_SLIDER_POSITION, &CMyDlg::OnSliderPosition)   // LRESULT (WPARAM, LPARAM)
//       ON_BN_CLICKED(1001, &CMyDlg::OnOk)                          // void ()
//   END_MESSAGE_MAP()
//
// Each entry is a plain function that casts the window to the class and
// calls the handler with the message's arguments unpacked.

#include "platform/sys/Messages.h"

class CWnd;

namespace platform::win {

// Returns true when the entry handled the message; `result` is its answer.
using MessageThunk = bool (*)(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// How an entry is matched: by message; WM_COMMAND by notification code and
// control id range; WM_NOTIFY by code and id range.
struct MessageMapEntry {
    UINT message = 0;
    UINT code = 0;
    UINT firstId = 0;
    UINT lastId = 0;
    MessageThunk thunk = nullptr;
};

struct MessageMap {
    const MessageMap* (*base)() = nullptr;
    const MessageMapEntry* entries = nullptr;
};

// Reflected messages: a parent hands WM_CTLCOLOR*, WM_DRAWITEM, WM_COMMAND
// and WM_NOTIFY to the control they concern under this offset.
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;
// All WM_CTLCOLOR* messages share one reflected entry.
inline constexpr UINT WM_CTLCOLOR_ANY = 0x0019;

} // namespace platform::win

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const ::platform::win::MessageMap* GetThisMessageMap();                                           \
    const ::platform::win::MessageMap* GetMessageMap() const override;

#define DECLARE_MESSAGE_MAP_BASE()                                                                           \
protected:                                                                                                   \
    static const ::platform::win::MessageMap* GetThisMessageMap();                                           \
    virtual const ::platform::win::MessageMap* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const ::platform::win::MessageMap* theClass::GetMessageMap() const {                                     \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const ::platform::win::MessageMap* theClass::GetThisMessageMap() {                                       \
        using ThisClass = theClass;                                                                          \
        using TheBaseClass = baseClass;                                                                      \
        static const ::platform::win::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, 0, nullptr }                                                                                  \
    }                                                                                                        \
    ;                                                                                                        \
    static const ::platform::win::MessageMap map{&TheBaseClass::GetThisMessageMap, entries};                 \
    return &map;                                                                                             \
    }

#define KT_MSG_ENTRY(msg, body)                                                                              \
    {msg, 0, 0, 0, [](CWnd* w, UINT, WPARAM wp, LPARAM lp, LRESULT& r) -> bool {                             \
         auto* self = static_cast<ThisClass*>(w);                                                            \
         (void)self;                                                                                         \
         (void)wp;                                                                                           \
         (void)lp;                                                                                           \
         (void)r;                                                                                            \
         body;                                                                                               \
         return true;                                                                                        \
     }},

#define KT_POINT(lp) CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))

#define ON_WM_PAINT() KT_MSG_ENTRY(WM_PAINT, self->OnPaint())
#define ON_WM_ERASEBKGND() KT_MSG_ENTRY(WM_ERASEBKGND, r = self->OnEraseBkgnd(CDC::FromHandle(HDC(wp))))
#define ON_WM_LBUTTONDOWN() KT_MSG_ENTRY(WM_LBUTTONDOWN, self->OnLButtonDown(UINT(wp), KT_POINT(lp)))
#define ON_WM_LBUTTONUP() KT_MSG_ENTRY(WM_LBUTTONUP, self->OnLButtonUp(UINT(wp), KT_POINT(lp)))
#define ON_WM_LBUTTONDBLCLK() KT_MSG_ENTRY(WM_LBUTTONDBLCLK, self->OnLButtonDblClk(UINT(wp), KT_POINT(lp)))
#define ON_WM_RBUTTONDOWN() KT_MSG_ENTRY(WM_RBUTTONDOWN, self->OnRButtonDown(UINT(wp), KT_POINT(lp)))
#define ON_WM_RBUTTONUP() KT_MSG_ENTRY(WM_RBUTTONUP, self->OnRButtonUp(UINT(wp), KT_POINT(lp)))
#define ON_WM_MOUSEMOVE() KT_MSG_ENTRY(WM_MOUSEMOVE, self->OnMouseMove(UINT(wp), KT_POINT(lp)))
#define ON_WM_MOUSEHOVER() KT_MSG_ENTRY(WM_MOUSEHOVER, self->OnMouseHover(UINT(wp), KT_POINT(lp)))
#define ON_WM_MOUSELEAVE() KT_MSG_ENTRY(WM_MOUSELEAVE, self->OnMouseLeave())
#define ON_WM_MOUSEWHEEL()                                                                                   \
    KT_MSG_ENTRY(WM_MOUSEWHEEL, r = self->OnMouseWheel(LOWORD(wp), GET_WHEEL_DELTA_WPARAM(wp), KT_POINT(lp)))
#define ON_WM_SETCURSOR()                                                                                    \
    KT_MSG_ENTRY(WM_SETCURSOR, r = self->OnSetCursor(CWnd::FromHandle(HWND(wp)), LOWORD(lp), HIWORD(lp)))
#define ON_WM_TIMER() KT_MSG_ENTRY(WM_TIMER, self->OnTimer(UINT_PTR(wp)))
#define ON_WM_KEYDOWN() KT_MSG_ENTRY(WM_KEYDOWN, self->OnKeyDown(UINT(wp), LOWORD(lp), HIWORD(lp)))
#define ON_WM_KEYUP() KT_MSG_ENTRY(WM_KEYUP, self->OnKeyUp(UINT(wp), LOWORD(lp), HIWORD(lp)))
#define ON_WM_CHAR() KT_MSG_ENTRY(WM_CHAR, self->OnChar(UINT(wp), LOWORD(lp), HIWORD(lp)))
#define ON_WM_SETFOCUS() KT_MSG_ENTRY(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(HWND(wp))))
#define ON_WM_KILLFOCUS() KT_MSG_ENTRY(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(HWND(wp))))
#define ON_WM_GETDLGCODE() KT_MSG_ENTRY(WM_GETDLGCODE, r = self->OnGetDlgCode())
#define ON_WM_CREATE() KT_MSG_ENTRY(WM_CREATE, r = self->OnCreate(reinterpret_cast<void*>(lp)))
#define ON_WM_DESTROY() KT_MSG_ENTRY(WM_DESTROY, self->OnDestroy())
#define ON_WM_SIZE() KT_MSG_ENTRY(WM_SIZE, self->OnSize(UINT(wp), LOWORD(lp), HIWORD(lp)))
#define ON_WM_SHOWWINDOW() KT_MSG_ENTRY(WM_SHOWWINDOW, self->OnShowWindow(BOOL(wp), UINT(lp)))
#define ON_WM_CLOSE() KT_MSG_ENTRY(WM_CLOSE, self->OnClose())
#define ON_WM_CAPTURECHANGED()                                                                               \
    KT_MSG_ENTRY(WM_CAPTURECHANGED, self->OnCaptureChanged(CWnd::FromHandle(HWND(lp))))
#define ON_WM_CTLCOLOR()                                                                                     \
    {WM_CTLCOLORMSGBOX, 0, 0, ::platform::win::WM_CTLCOLOR_ANY,                                              \
     [](CWnd* w, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) -> bool {                                         \
         r = LRESULT(static_cast<ThisClass*>(w)->OnCtlColor(                                                 \
             CDC::FromHandle(HDC(wp)), CWnd::FromHandle(HWND(lp)), m - WM_CTLCOLORMSGBOX));                  \
         return true;                                                                                        \
     }},
#define ON_WM_DRAWITEM()                                                                                     \
    KT_MSG_ENTRY(WM_DRAWITEM, self->OnDrawItem(int(wp), reinterpret_cast<LPDRAWITEMSTRUCT>(lp)); r = TRUE)

// The control's own answer to its parent's WM_CTLCOLOR: HBRUSH CtlColor(CDC*, UINT).
// A null brush leaves the request to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                             \
    {::platform::win::WM_REFLECT_BASE + ::platform::win::WM_CTLCOLOR_ANY, 0, 0, 0,                           \
     [](CWnd* w, UINT m, WPARAM wp, LPARAM, LRESULT& r) -> bool {                                            \
         HBRUSH brush =                                                                                      \
             static_cast<ThisClass*>(w)->CtlColor(CDC::FromHandle(HDC(wp)), m - WM_CTLCOLORMSGBOX);          \
         r = LRESULT(brush);                                                                                 \
         return brush != nullptr;                                                                            \
     }},

// A control's own handling of a notification it sends its parent
// (reflected back to it): void Handler() for WM_COMMAND codes,
// void Handler(NMHDR*, LRESULT*) for WM_NOTIFY codes.
#define ON_CONTROL_REFLECT(code, memberFxn)                                                                  \
    {::platform::win::WM_REFLECT_BASE + WM_COMMAND, UINT(code), 0, 0,                                        \
     [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT&) -> bool {                                                   \
         (static_cast<ThisClass*>(w)->*(memberFxn))();                                                       \
         return true;                                                                                        \
     }},
#define ON_EN_UPDATE_REFLECT(memberFxn) ON_CONTROL_REFLECT(EN_UPDATE, memberFxn)
#define ON_EN_SETFOCUS_REFLECT(memberFxn) ON_CONTROL_REFLECT(EN_SETFOCUS, memberFxn)
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                                   \
    {::platform::win::WM_REFLECT_BASE + WM_NOTIFY, UINT(code), 0, 0,                                         \
     [](CWnd* w, UINT, WPARAM, LPARAM lp, LRESULT& r) -> bool {                                              \
         (static_cast<ThisClass*>(w)->*(memberFxn))(reinterpret_cast<NMHDR*>(lp), &r);                       \
         return true;                                                                                        \
     }},

// LRESULT Handler(WPARAM, LPARAM), given as &Class::Handler.
#define ON_MESSAGE(msg, memberFxn) KT_MSG_ENTRY(msg, r = (self->*(memberFxn))(wp, lp))

// void Handler(), for a WM_COMMAND notification of one control or command.
#define ON_CONTROL(code, id, memberFxn)                                                                      \
    {WM_COMMAND, UINT(code), UINT(id), UINT(id), [](CWnd* w, UINT, WPARAM, LPARAM, LRESULT&) -> bool {       \
         (static_cast<ThisClass*>(w)->*(memberFxn))();                                                       \
         return true;                                                                                        \
     }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)

// void Handler(UINT id), for a range of ids.
#define ON_CONTROL_RANGE(code, firstId, lastId, memberFxn)                                                   \
    {WM_COMMAND, UINT(code), UINT(firstId), UINT(lastId),                                                    \
     [](CWnd* w, UINT, WPARAM wp, LPARAM, LRESULT&) -> bool {                                                \
         (static_cast<ThisClass*>(w)->*(memberFxn))(UINT(LOWORD(wp)));                                       \
         return true;                                                                                        \
     }},
#define ON_COMMAND_RANGE(firstId, lastId, memberFxn) ON_CONTROL_RANGE(0, firstId, lastId, memberFxn)

// void Handler(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)                                                                       \
    {WM_NOTIFY, UINT(code), UINT(id), UINT(id), [](CWnd* w, UINT, WPARAM, LPARAM lp, LRESULT& r) -> bool {   \
         (static_cast<ThisClass*>(w)->*(memberFxn))(reinterpret_cast<NMHDR*>(lp), &r);                       \
         return true;                                                                                        \
     }},
