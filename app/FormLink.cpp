#include "app/FormLink.h"

#include "platform/sys/UserMessages.h"

namespace {

using Route = CFormLink::Route;

struct MessageRoute {
    UINT message;
    Route route;
};

// Every program message posted or sent to the link's handle.  The reply
// parser, the communication and ping threads and the link itself post there;
// the output page and the change tracking know only that handle, too.  A
// message not listed (a system one) is the link's.
constexpr MessageRoute kRoutes[] = {
    {UM_LIVE_DATA_RECEIVED, Route::Link},
    {UM_ALL_PRESETS_RECEIVED, Route::Link},
    {UM_ROUTING_RECEIVED, Route::Link},
    {UM_STATUS_RECEIVED, Route::Link},
    {UM_TRANSFER_DONE, Route::Link},
    {UM_FIRMWARE_DONE, Route::Link},
    {UM_LINK_LOST, Route::Link},
    {UM_EMPTY_DATA_REPLY, Route::Link},
    {UM_VERSION_INFO, Route::Link},
    {UM_NET_DEVICE_FOUND, Route::Link},
    {UM_AUTO_CONNECT, Route::Link},
    {UM_PING_STOP, Route::Link},
    {UM_UPDATE_RECONNECT_FAILED, Route::Link},
    // The link sends the new name to the processor, the form shows it.
    {UM_PRESET_NAME_CHANGED, Route::Both},
    // The output chosen on the output page's plan.
    {UM_SELECT_OUTPUT, Route::Form},
};

} // namespace

CFormLink::Route CFormLink::RouteOf(UINT message) {
    for (const MessageRoute& r : kRoutes) {
        if (r.message == message)
            return r.route;
    }
    return Route::Link;
}

// The other way: of the form's commands, the connect button and the items of
// the menu it pops up are the link's.
bool CFormLink::TakeCommand(WPARAM wParam) {
    if (!IsLinkCommand(UINT(wParam & 0xFFFF)))
        return false;
    ::SendMessage(GetSafeHwnd(), WM_COMMAND, wParam, 0);
    return true;
}

LRESULT CFormLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const Route route = RouteOf(message);
    LRESULT result = 0;
    if (route != Route::Form)
        result = CTALQ50View::HandleMessage(message, wParam, lParam);
    if (route != Route::Link && m_hForm)
        ::PostMessage(m_hForm, message, wParam, lParam);
    return result;
}
