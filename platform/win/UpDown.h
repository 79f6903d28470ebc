#pragma once

// The layer's side of the up-down control (SpinButtonCtrl.h): its class
// procedure and the tie between a buddy's arrow keys and the control.

#include "platform/win/SpinButtonCtrl.h"
#include "platform/win/Window.h"

namespace platform::win {

WindowClass& UpDownClass();
// The up-down control with UDS_ARROWKEYS whose buddy is `buddy`, or nullptr.
HWND UpDownOfBuddy(HWND buddy);
// Sent by a buddy to its up-down control: wParam VK_UP or VK_DOWN.
inline constexpr UINT kUpDownBuddyKey = WM_USER + 0x7F00;

} // namespace platform::win
