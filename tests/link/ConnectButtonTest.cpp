// The connect button: what it offers or does for each combination of free
// USB processors and a processor seen on the network, the menu commands it
// leads to, and the reachability notice.

#include "tests/link/SyncFixture.h"

namespace {

using linktest::SyncView;

// Silent interfaces with the processor's ids: more free processors.
platform::HidDeviceInfo ExtraProcessor(int n) {
    return {"/dev/hidraw-extra" + std::to_string(n), 0x0483, 0x5750, 0x0200};
}

class ConnectButton : public SyncView {
protected:
    void SetFreeProcessors(int count) {
        for (int n = 0; n < 2; ++n)
            Bus().RemoveForeignDevice(ExtraProcessor(n).path);
        if (count == 0) {
            Bus().Unplug();
            return;
        }
        Bus().Plug();
        for (int n = 0; n < count - 1; ++n)
            Bus().AddForeignDevice(ExtraProcessor(n));
    }
};

TEST_F(ConnectButton, DecisionTable) {
    using Menu = std::vector<ConnectMenuEntry>;
    enum Outcome { ShowsMenu, ConnectsUsb, ConnectsNetwork, SaysNothingToOpen };
    struct Case {
        const char* name;
        int free;
        int seen;
        Outcome outcome;
        Menu menu;
    };
    const Case cases[] = {
        {"one USB, network seen", 1, 1, ShowsMenu, {{732, "USB"}, {733, "WIFI"}}},
        {"three USB, network seen",
         3,
         1,
         ShowsMenu,
         {{6600, "USB1"}, {6601, "USB2"}, {6602, "USB3"}, {733, "127.0.0.1"}}},
        {"one USB only", 1, 0, ConnectsUsb, {}},
        {"two USB only", 2, 0, ShowsMenu, {{6600, "USB1"}, {6601, "USB2"}}},
        {"network only", 0, 1, ConnectsNetwork, {}},
        {"nothing", 0, 0, SaysNothingToOpen, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        syncForm.menu.clear();
        syncForm.menusShown = 0;
        net.connects = 0;
        net.seen = c.seen;
        SetFreeProcessors(c.free);
        const std::size_t boxesBefore = boxes.Entries().size();

        view->OnConnectButton();

        EXPECT_EQ(syncForm.menusShown, c.outcome == ShowsMenu ? 1 : 0);
        EXPECT_EQ(syncForm.menu, c.menu);
        EXPECT_EQ(g_nLinkMode, c.outcome == ConnectsUsb ? 1 : 0);
        EXPECT_EQ(net.connects, c.outcome == ConnectsNetwork ? 1 : 0);
        const auto entries = boxes.Entries();
        if (c.outcome == SaysNothingToOpen) {
            ASSERT_EQ(entries.size(), boxesBefore + 1);
            EXPECT_EQ(entries.back().text, "No connection can be opened");
            EXPECT_EQ(entries.back().helpId, 2000);
        } else if (c.outcome != ConnectsNetwork) {
            EXPECT_EQ(entries.size(), boxesBefore);
        }
        EXPECT_EQ(int(g_saFreeUsbPaths.size()), c.free);
        if (c.outcome == ConnectsUsb)
            view->OnConnectButton(); // connected now: the button disconnects
        EXPECT_EQ(view->m_bConnected, 0);
    }
}

TEST_F(ConnectButton, WhileConnectedItDisconnectsAndNeverOpensAMenu) {
    net.seen = 1;
    SetFreeProcessors(2);
    ConnectWithoutThread();
    view->StartCommThread();
    view->OnConnectButton();
    EXPECT_EQ(syncForm.menusShown, 0);
    EXPECT_EQ(view->m_bConnected, 0);
    EXPECT_FALSE(view->IsCommThreadAlive());
    EXPECT_EQ(g_nLinkMode, 0);
    EXPECT_EQ(net.pingStarts, 1) << "the reachability timer runs again";
}

TEST_F(ConnectButton, MenuCommandsConnectTheChosenLink) {
    SetFreeProcessors(3);
    net.seen = 1;
    view->OnConnectButton();
    ASSERT_EQ(syncForm.menusShown, 1);

    view->OnUsbDeviceMenu(6603); // past the list
    EXPECT_EQ(g_nLinkMode, 0);
    view->OnUsbDeviceMenu(6601); // a silent interface opens; the handshake would then fail
    EXPECT_EQ(g_nLinkMode, 1);
    EXPECT_EQ(g_strUsbDevicePath, ExtraProcessor(0).path);
    view->OnConnectButton();

    SetFreeProcessors(0);
    view->OnMenuUsb();
    EXPECT_EQ(g_nLinkMode, 0) << "a failed USB connect leaves no link mode behind";
    ASSERT_FALSE(boxes.Entries().empty());
    EXPECT_EQ(boxes.Entries().back().text, "Connection failure!");
    EXPECT_EQ(boxes.Entries().back().helpId, 2000);

    net.connectResult = 1;
    view->HandleMessage(WM_COMMAND, 733, 0);
    EXPECT_EQ(g_nLinkMode, 2);
    EXPECT_EQ(view->m_bConnected, 1);
}

TEST_F(ConnectButton, AProcessorFoundOnTheNetworkConnectsOnlyWhileNoLinkIsOpen) {
    net.connectResult = 1;
    ConnectWithoutThread(); // USB
    view->OnNetDeviceFound();
    EXPECT_EQ(g_nLinkMode, 1);
    EXPECT_EQ(net.connects, 0);
    EXPECT_TRUE(view->TakeMessages().empty()) << "the ping timer keeps running";

    view->DisconnectUsb();
    view->OnNetDeviceFound();
    EXPECT_EQ(g_nLinkMode, 2);
    const auto messages = view->TakeMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_PING_STOP), 1);
    EXPECT_EQ(net.pingStops, std::vector<int>{1}) << "the thread stays for the next time";
}

} // namespace
