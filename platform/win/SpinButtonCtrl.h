#pragma once

// Up-down controls: a pair of arrows that step a 32-bit position inside a
// range, usually beside a "buddy" edit.  Every step, also one that the range
// stops, first goes to the parent as WM_NOTIFY UDN_DELTAPOS (reflected to
// the control's own object); a non-zero answer refuses the step.  A press
// steps once and captures the mouse; held, it steps again after 500 ms and
// then every 50 ms while the pointer stays on the pressed arrow.  Steps are
// always +1 (up) or -1 (down); the parent gets no scroll messages.  With
// UDS_ARROWKEYS the Up and Down keys in the buddy step the control, also
// while it is hidden.

#include "platform/win/Wnd.h"

inline constexpr const char* UPDOWN_CLASS = "msctls_updown32";

inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
inline constexpr DWORD UDS_ALIGNLEFT = 0x0008;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;

inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;
inline constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
inline constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
inline constexpr UINT UDM_SETPOS32 = WM_USER + 113;
inline constexpr UINT UDM_GETPOS32 = WM_USER + 114;

inline constexpr UINT UDN_DELTAPOS = UINT(-722);

struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;   // the position before the step
    int iDelta = 0; // the step; the handler may change it
};
using LPNMUPDOWN = NMUPDOWN*;

class CSpinButtonCtrl : public CWnd {
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    CWnd* SetBuddy(CWnd* buddy);
    CWnd* GetBuddy() const;
    void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, WPARAM(lower), LPARAM(upper)); }
    void GetRange32(int& lower, int& upper) const;
    int SetPos32(int pos) { return int(SendMessage(UDM_SETPOS32, 0, LPARAM(pos))); }
    int GetPos32(BOOL* error = nullptr) const;
};
