#include "controls/SharedGdiObjects.h"

CBrush g_brDlgBk;
CFont g_fontPresetList;
CFont g_fontNumEdit;
CFont g_fontSmallEdit;
CFont g_fontDialogBold;
CFont g_fontTitleBold;
CFont g_fontDialog;
CMenu g_menuSpkType;

namespace {
CFont s_fontHuge;  // Arial 108, normal
CFont s_font15;    // Arial 15, normal
CFont s_fontHeavy; // Arial 16, weight 1200

void Arial(CFont& font, int height, int weight) {
    font.CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}
} // namespace

void CreateSharedFonts() {
    Arial(g_fontPresetList, 16, 400);
    Arial(s_fontHuge, 108, 400);
    Arial(g_fontNumEdit, 14, 400);
    Arial(g_fontSmallEdit, 12, 400);
    Arial(s_font15, 15, 400);
    Arial(g_fontDialogBold, 16, 700);
    Arial(g_fontTitleBold, 24, 700);
    Arial(g_fontDialog, 16, 400);
    Arial(s_fontHeavy, 16, 1200);
}

void CreateDialogBrush() {
    g_brDlgBk.CreateSolidBrush(RGB(227, 228, 238));
}
