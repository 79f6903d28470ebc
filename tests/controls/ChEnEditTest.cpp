#include "controls/ChEnEdit.h"
#include "TestResources.h"
#include "platform/sys/Gbk.h"
#include "platform/win/Dialog.h"
#include "platform/win/Input.h"

#include <gtest/gtest.h>

namespace {

// "高" is B8 DF in GBK; "時" is 95 72: its trail byte is below 0x80.
constexpr UINT kGao = 0x9AD8;

class NameDialog final : public CDialog {
public:
    CChEnEdit edit;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1500, edit); }
};

class ChEnEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.AddDialog(720, "DIALOG 720 0 0 200 60\n"
                           "CONTROL 1500 Edit WS_VISIBLE|WS_TABSTOP 10 10 100 14 \"\"\n"
                           "CONTROL 1501 Button WS_VISIBLE|WS_TABSTOP 10 30 50 14 \"OK\"\n");
        ASSERT_TRUE(dlg.Create(720));
        dlg.edit.SetFocus();
    }
    void Type(std::initializer_list<UINT> characters) {
        for (UINT c : characters)
            platform::win::CharInput(c);
    }
    CString LeaveTheEdit() {
        dlg.GetDlgItem(1501)->SetFocus();
        return dlg.edit.GetWindowText();
    }

    TestResources res;
    NameDialog dlg;
};

TEST_F(ChEnEditTest, ATypedDoubleByteCharacterStartsAtAnEvenByte) {
    Type({'a', kGao});
    EXPECT_EQ(dlg.edit.GetWindowText(), "a 高");
    dlg.edit.SetWindowText("ab");
    Type({kGao});
    EXPECT_EQ(dlg.edit.GetWindowText(), "ab高");
    dlg.edit.SetWindowText("時"); // two bytes, whatever its trail byte
    Type({kGao});
    EXPECT_EQ(dlg.edit.GetWindowText(), "時高");
}

TEST_F(ChEnEditTest, WithTheModeOffDoubleByteCharactersNeverReachTheText) {
    dlg.edit.SetEvenAlign(FALSE);
    Type({'a', kGao, 'b'});
    EXPECT_EQ(dlg.edit.GetWindowText(), "ab");
    dlg.edit.SetFocus();
    dlg.edit.SetWindowText("a高"); // pasted
    EXPECT_EQ(LeaveTheEdit(), "a高");
}

TEST_F(ChEnEditTest, LeavingTheEditAlignsPastedDoubleByteCharacters) {
    ASSERT_EQ(platform::Utf8ToGbk("時"), std::string("\x95\x72"));
    const std::pair<CString, CString> cases[] = {
        {"ab高", "ab高"},
        {"a高", "a 高"},
        {"時高", "時高"}, // a walk over bytes took 0x72 for a
                          // character and split the pair
        {"時a高", "時a 高"},
        {"a時b高", "a 時b 高"},
        {"abc", "abc"},
        {"", ""},
    };
    for (const auto& [pasted, aligned] : cases) {
        dlg.edit.SetFocus();
        dlg.edit.SetWindowText(pasted);
        EXPECT_EQ(LeaveTheEdit(), aligned) << pasted;
    }
}

} // namespace
