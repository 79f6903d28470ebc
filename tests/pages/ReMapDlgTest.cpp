// The output-map prompt: its texts in both languages and the result each way
// of ending it leaves, the caption's close box included.

#include "model/Globals.h"
#include "pages/output/ReMap_Dlg.h"
#include "platform/sys/MessageBox.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/app/ShellFixture.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the prompt once its modal loop runs.
class ActingPrompt final : public CReMap_Dlg {
public:
    explicit ActingPrompt(std::function<void(ActingPrompt&)> act) : m_act(std::move(act)) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CReMap_Dlg::OnInitDialog();
        QTimer::singleShot(0, [this] { m_act(*this); });
        return result;
    }

private:
    std::function<void(ActingPrompt&)> m_act;
};

void ClickControl(CWnd& dialog, int id) {
    CWnd* button = dialog.GetDlgItem(id);
    ASSERT_NE(button, nullptr);
    CRect r;
    button->GetClientRect(&r);
    const POINT centre{r.Width() / 2, r.Height() / 2};
    platform::win::MouseInput(button->GetSafeHwnd(), WM_LBUTTONDOWN, centre, MK_LBUTTON);
    platform::win::MouseInput(button->GetSafeHwnd(), WM_LBUTTONUP, centre);
}

TEST(ReMapDlg, EveryEndingLeavesItsResult) {
    apptest::SolidPictures pictures;
    enum Action { ClickEmptied, ClickDefault, ClickCancel, CloseBox, Enter, EnterOnDefault, Escape };
    const struct {
        Action action;
        int result;
    } cases[] = {
        {ClickEmptied, CReMap_Dlg::kEmptied},  {ClickDefault, CReMap_Dlg::kDefault},
        {ClickCancel, CReMap_Dlg::kCancelled}, {CloseBox, CReMap_Dlg::kCancelled},
        {Enter, CReMap_Dlg::kEmptied},         {EnterOnDefault, CReMap_Dlg::kDefault},
        {Escape, CReMap_Dlg::kCancelled},
    };
    for (const auto& c : cases) {
        ActingPrompt prompt([&](ActingPrompt& p) {
            switch (c.action) {
            case ClickEmptied:
                ClickControl(p, IDOK);
                break;
            case ClickDefault:
                ClickControl(p, 2768);
                break;
            case ClickCancel:
                ClickControl(p, IDCANCEL);
                break;
            case CloseBox:
                p.SendMessage(WM_CLOSE);
                break;
            case Enter:
                platform::win::KeyInput(VK_RETURN);
                break;
            case EnterOnDefault:
                p.GetDlgItem(2768)->SetFocus();
                platform::win::KeyInput(VK_RETURN);
                break;
            case Escape:
                platform::win::KeyInput(VK_ESCAPE);
                break;
            }
        });
        prompt.DoModal();
        EXPECT_EQ(prompt.m_nResult, c.result) << "action " << c.action;
    }
}

TEST(ReMapDlg, TextsFollowTheLanguageAndArePictured) {
    apptest::SolidPictures pictures(false);
    const int saved = g_bChinese;
    for (int chinese : {0, 1}) {
        g_bChinese = chinese;
        CString caption, text, emptied, defaults, cancel;
        ActingPrompt prompt([&](ActingPrompt& p) {
            p.GetWindowText(caption);
            p.GetDlgItem(2769)->GetWindowText(text);
            p.GetDlgItem(IDOK)->GetWindowText(emptied);
            p.GetDlgItem(2768)->GetWindowText(defaults);
            p.GetDlgItem(IDCANCEL)->GetWindowText(cancel);
            EXPECT_TRUE(apptest::SavePicture(p.GetSafeHwnd(), chinese ? "output_map_prompt_zh.png"
                                                                      : "output_map_prompt_en.png"));
            p.SendMessage(WM_CLOSE);
        });
        prompt.DoModal();
        if (chinese) {
            EXPECT_EQ(caption, "提示");
            EXPECT_EQ(text, "输出配置清空或恢复默认");
            EXPECT_EQ(emptied + defaults + cancel, "清空默认取消");
        } else {
            EXPECT_EQ(caption, "Prompting");
            EXPECT_EQ(text, "The output map emptied or restore default");
            EXPECT_EQ(emptied + "|" + defaults + "|" + cancel, "Emptied|Default|Cancel");
        }
    }
    g_bChinese = saved;
}

} // namespace
