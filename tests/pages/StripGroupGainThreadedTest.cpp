// The main view's own strips against the simulated processor on the
// in-process USB device, with the communication thread running: group
// buttons clicked as a user clicks them, and a grouped strip's gain that moves
// every member by the same offset, kept within 0..600.

#include "pages/output/LinkGroups.h"
#include "pages/output/OutRoute_Dlg.h"
#include "platform/win/Input.h"
#include "tests/app/AppFixture.h"

namespace pagestest {
namespace {

class StripGroupGainThreaded : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ping.Answer(true);
        backend->Bus().Plug();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(PumpUntil([] { return g_bOnline != 0; }));
        ASSERT_NE(View(), nullptr);
    }
    COutRoute_Dlg& Strip(int output) { return View()->GetStrip(output); }
    int ProcessorGain(int output) {
        const auto memory = processor.Memory();
        const BYTE* basic = memory.live.data() + OutputRecordOffset(output) + 31 * 8;
        return basic[2] | basic[3] << 8;
    }
    void TypeGain(int output, const char* text) {
        CNumEdit& edit = Strip(output).m_editGain;
        edit.SetFocus();
        edit.SendMessage(EM_SETSEL, 0, -1);
        for (const char* p = text; *p; ++p)
            platform::win::CharInput(UINT(static_cast<unsigned char>(*p)));
        platform::win::KeyInput(VK_RETURN);
        Pump();
    }
    // A single click lands 200 ms after the press.
    void GroupClick(int output) {
        CBitButton& b = Strip(output).m_btnGroup;
        platform::win::MouseInput(b.GetSafeHwnd(), WM_LBUTTONDOWN, {3, 3});
        platform::win::MouseInput(b.GetSafeHwnd(), WM_LBUTTONUP, {3, 3});
        clock->Advance(250);
        Pump();
        clock->Advance(600);
    }
};

TEST_F(StripGroupGainThreaded, AGroupMovesByTheSameOffsetWithinItsRange) {
    TypeGain(3, "-30"); // 300
    TypeGain(5, "-1");  // 590
    TypeGain(7, "-50"); // 100, in no group
    ASSERT_TRUE(PumpUntil([&] { return ProcessorGain(3) == 300 && ProcessorGain(5) == 590; }));
    GroupClick(3); // creates group 1
    GroupClick(5); // joins the group being formed
    ASSERT_EQ(CLinkGroups::NumberOf(5), 1);
    EXPECT_TRUE(Strip(5).m_btnGroup.GetSelected());
    EXPECT_TRUE(PumpUntil([&] {
        const auto memory = processor.Memory();
        return memory.live[OutputRecordOffset(3) + 287] == 1 && memory.live[OutputRecordOffset(5) + 287] == 1;
    }));

    TypeGain(3, "-26"); // 340: +40, so output 5 would pass the top
    EXPECT_TRUE(PumpUntil([&] { return ProcessorGain(3) == 340 && ProcessorGain(5) == 600; }));
    EXPECT_EQ(Strip(5).GetShownGain(), 600);
    TypeGain(5, "-50"); // 100: -500 for output 3 stops at 0
    EXPECT_TRUE(PumpUntil([&] { return ProcessorGain(5) == 100 && ProcessorGain(3) == 0; }));
    EXPECT_EQ(ProcessorGain(7), 100);
}

} // namespace
} // namespace pagestest
