#pragma once

// The program's own window messages, all in one place so no two share a
// value by accident.  Each keeps its WM_USER offset; the comment names the
// sender and what wParam / lParam carry.

#include "platform/sys/WinTypes.h"

// Reply parser and communication thread, to the view (g_pNotifyView).
inline constexpr UINT UM_LIVE_DATA_RECEIVED = WM_USER + 110;   // preset byte, 0
inline constexpr UINT UM_ALL_PRESETS_RECEIVED = WM_USER + 111; // 6, 0
inline constexpr UINT UM_ROUTING_RECEIVED = WM_USER + 112;     // 0, 0; sent (and waited for) after sub-id 6
inline constexpr UINT UM_STATUS_RECEIVED = WM_USER + 113;      // 0, payload length
inline constexpr UINT UM_TRANSFER_DONE = WM_USER + 150;        // 0, 1 after a batch write / 0 after a read
inline constexpr UINT UM_FIRMWARE_DONE = WM_USER + 151;        // 0, 0x39
inline constexpr UINT UM_LINK_LOST = WM_USER + 154;            // 0, 0 or 2
inline constexpr UINT UM_EMPTY_DATA_REPLY = WM_USER + 160;     // 0, 0
inline constexpr UINT UM_VERSION_INFO = WM_USER + 161;         // 0, 0
inline constexpr UINT UM_PRESET_NAME_CHANGED = WM_USER + 162;  // 0, 0; from the change tracking
inline constexpr UINT UM_NET_DEVICE_FOUND = WM_USER + 500;     // 0, 0; from the ping thread

// The view to itself.
inline constexpr UINT UM_AUTO_CONNECT = WM_USER + 156;
inline constexpr UINT UM_PING_STOP = WM_USER + 157;
inline constexpr UINT UM_UPDATE_RECONNECT_FAILED = WM_USER + 158;

// The window layer's file opener, to the owner of a file that turned out not
// to open after ShellExecute had returned.
inline constexpr UINT UM_SHELL_OPEN_FAILED = WM_USER + 163; // 0, 0

// Firmware-update dialog.
inline constexpr UINT UM_UPDATE_RECONNECTED = WM_USER + 200; // 0, result of a reconnect poll

// Output page and output strips.
inline constexpr UINT UM_STRIP_ENABLE_TOGGLED = WM_USER + 202;  // output, on/off
inline constexpr UINT UM_SELECT_OUTPUT = WM_USER + 203;         // output, 0
inline constexpr UINT UM_STRIP_GAIN_CHANGED = WM_USER + 206;    // output, gain word
inline constexpr UINT UM_STRIP_DELAY_CHANGED = WM_USER + 208;   // output, delay word
inline constexpr UINT UM_SPEAKER_TYPE_SELECTED = WM_USER + 225; // output, speaker type 0..24
inline constexpr UINT UM_SHOW_PAGE_2 = WM_USER + 301;

// Preset-list dialogs.
inline constexpr UINT UM_PRESET_SAVE_AS = WM_USER + 400;
inline constexpr UINT UM_PRESET_LOAD = WM_USER + 401;
inline constexpr UINT UM_PRESET_DELETE = WM_USER + 402;

// Panels.
inline constexpr UINT UM_MASTER_GAIN_CHANGED = WM_USER + 8024; // control id, value
inline constexpr UINT UM_DELAY_UNIT_CHANGED = WM_USER + 8025;  // control id, unit 1 ms / 2 cm / 3 inch
inline constexpr UINT UM_MIX_ROW_SELECTED = WM_USER + 8028;

// Controls, to the window that contains them.
inline constexpr UINT UM_EQ_POINT_DRAGGED = WM_USER + 100;   // filter index, object code
inline constexpr UINT UM_EQ_GRAPH_KILLFOCUS = WM_USER + 101; // 0, 0
inline constexpr UINT UM_SLIDER_TAKE_FOCUS = WM_USER + 201;  // to a bitmap slider: show the focused look
inline constexpr UINT UM_BUTTON_CLICK = WM_USER + 220;       // 0x201 / 0x203 / 0x204, 0
inline constexpr UINT UM_MOUSE_MOVE_NOTIFY = WM_USER + 602;  // key flags, control id; sent
inline constexpr UINT UM_EDIT_MOVE_FOCUS = WM_USER + 700;    // control id, key
inline constexpr UINT UM_EDIT_NEXT_ROW = WM_USER + 701;      // control id
inline constexpr UINT UM_DROPLIST_SELECTED = WM_USER + 802;  // reported id (not the control's own), index
inline constexpr UINT UM_SPIN_STEP = WM_USER + 1100;         // control id, signed step (not the position)
inline constexpr UINT UM_SLIDER_TRACKING = WM_USER + 9425;   // control id, raw position
inline constexpr UINT UM_SLIDER_POSITION = WM_USER + 9426;   // control id, raw position
