#pragma once

// The drawing objects every window shares: the dialog background brush, the
// Arial fonts and the speaker-type popup menu.  They exist for the whole run;
// the start-up gives them their GDI resources once.

#include "platform/gdi/GdiObjects.h"
#include "platform/win/Menu.h"

extern CBrush g_brDlgBk;
extern CFont g_fontPresetList;
extern CFont g_fontNumEdit;
extern CFont g_fontSmallEdit;
extern CFont g_fontDialogBold;
extern CFont g_fontTitleBold;
extern CFont g_fontDialog;
// The speaker-type popup menu: menu resource 106 (Chinese) or 107 (English),
// item 4100 + type; loaded by the start-up and reloaded when the language
// changes.
extern CMenu g_menuSpkType;

// The nine Arial fonts, in the start-up's order (three of them no window uses).
void CreateSharedFonts();
// The dialog background, RGB(227, 228, 238); made after the language is chosen.
void CreateDialogBrush();
