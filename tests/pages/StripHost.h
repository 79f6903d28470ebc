#pragma once

// The view's side of the twelve output strips, as the main view sets them up:
// strips side by side (8 shown), pictures by language, values from the
// model, and the link-group surface over their buttons.  It records what the
// strips post to it.

#include "PagesFixture.h"

#include "link/KTVCommand.h"
#include "model/KTV_OutData.h"
#include "pages/output/LinkGroupSurface.h"
#include "pages/output/LinkGroups.h"
#include "pages/output/LinkedOutputMute.h"
#include "pages/output/OutRoute_Dlg.h"
#include "platform/win/Dialog.h"

#include <functional>
#include <vector>

namespace pagestest {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Posted&) const = default;
};

class StripHost : public CDialog, public ILinkGroupSurface {
public:
    static constexpr UINT kTemplate = 9160;

    COutRoute_Dlg strips[kOutputCount];
    std::vector<Posted> posted;
    CKTVCommand* command = nullptr; // the off-and-restore queues here when set
    CLinkedOutputMute mute;
    int graphRedraws = 0;
    // Runs when kRunHook arrives, also inside a modal loop a strip started.
    static constexpr UINT kRunHook = WM_USER + 999;
    std::function<void()> hook;

    // As the view (a form), the host ends on neither Enter nor Escape.
    void OnOK() override {}
    void OnCancel() override {}

    // Creates the host and the strips; call after the model exists.
    BOOL Build(CKTV_Data& model) {
        m_pModel = &model;
        if (!Create(kTemplate))
            return FALSE;
        MoveWindow(0, 0, 1720, 222, FALSE);
        for (int i = 0; i < kOutputCount; ++i) {
            COutRoute_Dlg& s = strips[i];
            if (!s.Create(COutRoute_Dlg::IDD, this))
                return FALSE;
            s.m_pParent = this;
            s.m_nOutput = i;
            s.m_pOutData = model.GetOutput(i);
            s.SetSelectButtonBitmaps(818 + 3 * i, 817 + 3 * i, 819 + 3 * i);
            s.SetGainSliderChannel(281, 281, FALSE, 0, 0, 0);
            s.SetGainSliderThumb(358, 280, FALSE, 0, 0, 0);
            s.MoveWindow(int(142.5 * i), 0, 140, 221, FALSE);
            s.ShowWindow(i < 8 ? SW_SHOW : SW_HIDE);
        }
        ApplyLanguage();
        Refresh();
        CLinkGroups::Rebuild(model, *this);
        ShowWindow(SW_SHOW);
        return TRUE;
    }
    void ApplyLanguage() {
        for (COutRoute_Dlg& s : strips) {
            s.SetBackgroundBitmap(g_bChinese ? 1151 : 1152);
            s.SetPhaseButtonBitmaps(g_bChinese);
            s.m_btnGroup.SetBitmaps(g_bChinese ? 1018 : 1019, g_bChinese ? 1018 : 1019,
                                    g_bChinese ? 1018 : 1019);
            s.SetGroupImage(CLinkGroups::NumberOf(s.m_nOutput));
            s.UpdateTypeCaption();
            s.m_editGain.RefreshLanguage();
        }
        Invalidate();
    }
    void Refresh() {
        for (COutRoute_Dlg& s : strips) {
            CKTV_OutData* out = m_pModel->GetOutput(s.m_nOutput);
            s.SetGain(out->GetGain());
            s.SetDelay(out->GetDelay());
            s.SetEnable(out->GetEnable());
            s.UpdateTypeCaption();
        }
    }
    std::vector<Posted> Take() {
        platform::PumpMessages();
        return std::exchange(posted, {});
    }

    // ILinkGroupSurface
    void SetGroupImage(int output, int number) override { strips[output].SetGroupImage(number); }
    BOOL IsGroupLatched(int output) override { return strips[output].m_btnGroup.GetSelected(); }
    void SetGroupLatched(int output, BOOL latched) override {
        strips[output].m_btnGroup.SetSelected(latched);
    }
    BOOL IsSelectLatched(int output) override { return strips[output].m_btnSelect.GetSelected(); }
    void SetSelectLatched(int output, BOOL latched) override { strips[output].SetSelectLatched(latched); }
    int FindFreeSlot() override {
        for (int g = 0; g < kOutputCount; ++g)
            if (!g_bLinkGroupUsed[g])
                return g;
        return -1;
    }
    void HighlightLinkGroup(int, int number) override { CLinkGroups::HighlightGroup(*this, number); }
    void MuteLinkedOutputs(int anchor, int flag) override {
        if (command)
            mute.Run(anchor, flag, *command);
    }
    void RedrawGraph() override { ++graphRedraws; }
    void ShowChannel(int output) override {
        g_nCurOutChannel = output;
        Invalidate();
    }
    void UnlatchPageLinkMark() override {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRunHook && hook) {
            hook();
            return 0;
        }
        if (message >= WM_USER)
            posted.push_back({message, wParam, lParam});
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    CKTV_Data* m_pModel = nullptr;
};

// The host's template: a plain popup the strips sit in.
inline CString StripHostTemplate() {
    return "DIALOG 9160 0 0 100 100\nSTYLE WS_POPUP\nFONT 8 \"MS Sans Serif\"\n";
}

} // namespace pagestest
