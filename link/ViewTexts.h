#pragma once

// The language switch of the link's messages and the message-box codes they
// use (caption and auto-close time; the application's message box reads them).

#include "model/Globals.h"
#include "platform/sys/WinTypes.h"

inline constexpr int kBoxPrompt = 2000;  // "Prompting", closes after 2000 ms
inline constexpr int kBoxWarning = 2001; // "Warning", closes after 2001 ms
inline constexpr int kBoxWarningZh = -4; // "警告", stays
inline constexpr int kBoxWarningEn = -5; // "Warning", stays

inline const char* LangText(const char* zh, const char* en) {
    return g_bChinese ? zh : en;
}
