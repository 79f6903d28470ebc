// A strip's gain edit in a link group, through the view's handler and the
// communication thread to the simulated processor on the in-process USB
// device: every member moves by the same offset, kept within 0..600.

#include "StripHost.h"

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
        ASSERT_NE(View()->m_pData, nullptr);
        m_pictures.AddDialog(StripHost::kTemplate, StripHostTemplate());
        m_host = std::make_unique<StripHost>();
        ASSERT_TRUE(m_host->Build(*View()->m_pData));
        // The strips report to the view, as the form's own strips do.
        for (COutRoute_Dlg& s : m_host->strips)
            s.m_pParent = View();
    }
    void TearDown() override {
        m_host.reset();
        AppFixture::TearDown();
    }
    int ProcessorGain(int output) {
        const auto memory = processor.Memory();
        const BYTE* basic = memory.live.data() + OutputRecordOffset(output) + 31 * 8;
        return basic[2] | basic[3] << 8;
    }
    void TypeGain(int output, const char* text) {
        CNumEdit& edit = m_host->strips[output].m_editGain;
        edit.SetFocus();
        edit.SendMessage(EM_SETSEL, 0, -1);
        for (const char* p = text; *p; ++p)
            platform::win::CharInput(UINT(static_cast<unsigned char>(*p)));
        platform::win::KeyInput(VK_RETURN);
        Pump();
    }

    SolidPictures m_pictures;
    std::unique_ptr<StripHost> m_host;
};

TEST_F(StripGroupGainThreaded, AGroupMovesByTheSameOffsetWithinItsRange) {
    TypeGain(3, "-30"); // 300
    TypeGain(5, "-1");  // 590
    TypeGain(7, "-50"); // 100, in no group
    ASSERT_TRUE(PumpUntil([&] { return ProcessorGain(3) == 300 && ProcessorGain(5) == 590; }));
    CLinkGroups::OnGroupClick(*m_host, 3, View()->m_pData->GetOutput(3), CLinkGroups::kSingleClick);
    CLinkGroups::OnGroupClick(*m_host, 5, View()->m_pData->GetOutput(5), CLinkGroups::kSingleClick);
    ASSERT_EQ(CLinkGroups::NumberOf(5), 1);

    TypeGain(3, "-26"); // 340: +40, so output 5 would pass the top
    EXPECT_TRUE(PumpUntil([&] { return ProcessorGain(3) == 340 && ProcessorGain(5) == 600; }));
    TypeGain(5, "-50"); // 100: -500 for output 3 stops at 0
    EXPECT_TRUE(PumpUntil([&] { return ProcessorGain(5) == 100 && ProcessorGain(3) == 0; }));
    EXPECT_EQ(ProcessorGain(7), 100);
    const auto memory = processor.Memory();
    EXPECT_EQ(memory.live[OutputRecordOffset(3) + 287], 1);
    EXPECT_EQ(memory.live[OutputRecordOffset(5) + 287], 1);
}

} // namespace
} // namespace pagestest
