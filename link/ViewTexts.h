#pragma once

// The language switch of the link's messages and the message-box codes they
// use (caption and auto-close time; the application's message box reads them).

#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/WinTypes.h"

inline constexpr int kBoxPrompt = 2000;  // "Prompting", closes after 2000 ms
inline constexpr int kBoxWarning = 2001; // "Warning", closes after 2001 ms
inline constexpr int kBoxWarningZh = -4; // "警告", stays
inline constexpr int kBoxWarningEn = -5; // "Warning", stays
inline constexpr int kBoxPlainZh = -2;   // the Chinese text of a two-language message
inline constexpr int kBoxPlainEn = -3;   // its English text

inline const char* LangText(const char* zh, const char* en) {
    return g_bChinese ? zh : en;
}

// A message whose two texts are chosen by the language at the call.
inline int LangMessageBox(const char* zh, const char* en, UINT type = MB_OK) {
    return AfxMessageBox(LangText(zh, en), type, g_bChinese ? kBoxPlainZh : kBoxPlainEn);
}
