#pragma once

// A view with its link against the simulated processor as an in-process USB
// device, on a virtual clock, with the registry in a file of its own and
// message boxes recorded.

#include "link/LinkForm.h"
#include "link/LinkGlobals.h"
#include "link/TALQ50View.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "platform/hid/HidBackend.h"
#include "platform/sys/RecordingMessageBox.h"
#include "platform/sys/Registry.h"
#include "platform/sys/UserMessages.h"
#include "platform/sys/VirtualClock.h"
#include "sim/lib/SimHidBackend.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace linktest {

inline const CString kUsbKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\USB";

// Remembers which messages reached the view before it handles them.
class RecordingView : public CTALQ50View {
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        {
            std::lock_guard lock(m_mutex);
            m_messages.push_back(message);
            m_lastLParam[message] = lParam;
        }
        return CTALQ50View::HandleMessage(message, wParam, lParam);
    }
    std::vector<UINT> TakeMessages() {
        platform::PumpMessages();
        std::lock_guard lock(m_mutex);
        return std::exchange(m_messages, {});
    }
    int Count(UINT message) {
        std::lock_guard lock(m_mutex);
        return int(std::count(m_messages.begin(), m_messages.end(), message));
    }
    // The lParam of the last `message` that arrived; -1 when none did.
    LPARAM LastLParam(UINT message) {
        std::lock_guard lock(m_mutex);
        const auto it = m_lastLParam.find(message);
        return it == m_lastLParam.end() ? -1 : it->second;
    }

private:
    std::mutex m_mutex;
    std::vector<UINT> m_messages;
    std::map<UINT, LPARAM> m_lastLParam;
};

class RecordingForm final : public ILinkForm {
public:
    void SetConnectButtonBitmaps(UINT normal, UINT, UINT) override { bitmap = normal; }
    void SetLinkLabel(const CString& text, bool blinking) override {
        label = text;
        blink = blinking;
    }
    void CloseTransferPopup() override { ++popupClosed; }

    UINT bitmap = 0;
    CString label;
    bool blink = false;
    int popupClosed = 0;
};

inline void ResetLinkGlobals() {
    InitDefaultDeviceData();
    g_nLinkMode = 0;
    g_strUsbDevicePath.clear();
    g_saHidPaths.clear();
    g_bUsbLinkUp = 0;
    g_bDataStepHalted = 0;
    g_bHandshakeWait = 0;
    g_bFirmwareRebooting = 0;
    g_bUpdateAbort = 0;
    g_bUpgrading = 0;
    g_bReconnectPending = 0;
    g_nLastFirmwareStep = 0;
    g_bChinese = 0;
    g_hUsbRead.Set(nullptr);
}

class ViewLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        platform::SetRegistryFile(m_dir.filePath("registry.ini").toStdString());
        ResetLinkGlobals();
        m_previousBackend = platform::HidBackend::Install(backend.get());
        view = std::make_unique<RecordingView>();
        view->SetLinkForm(&form);
        view->GetKTVCommand().SetNotifyWnd(view->GetSafeHwnd());
        view->CreateUsbRegistryKey();
    }
    void TearDown() override {
        if (view)
            view->UnregisterHidNotification();
        view.reset();
        platform::HidBackend::Install(m_previousBackend);
        backend.reset();
        ResetLinkGlobals();
        platform::SetRegistryFile({});
    }

    sim::SimHidBus& Bus() { return backend->Bus(); }

    // The mark of the device at `path`, or "" when it has none.
    CString Mark(const CString& path) {
        HKEY key = nullptr;
        CString owner;
        if (RegOpenKey(HKEY_CURRENT_USER, kUsbKey, &key) == ERROR_SUCCESS) {
            RegQueryStringValue(key, path, &owner, 64);
            RegCloseKey(key);
        }
        return owner;
    }
    void SetMark(const CString& path, const CString& owner) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, kUsbKey, &key), ERROR_SUCCESS);
        RegSetStringValue(key, path, owner);
        RegCloseKey(key);
    }

    // Handles the view's messages until `done` holds; bounded by real time.
    template <typename Done> bool Until(Done done, int ms = 60'000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            platform::PumpMessages();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }

    // Opens the processor's interface as a connect does, without the thread.
    void OpenWithoutThread() {
        g_strUsbDevicePath = Bus().ProcessorPath();
        ASSERT_EQ(view->OpenUsbDevice(), 1);
        g_nLinkMode = 1;
        view->m_bConnected = 1;
    }

    // Declared first: outlives everything that reads the time.
    std::unique_ptr<platform::VirtualClock> clock = std::make_unique<platform::VirtualClock>();
    QTemporaryDir m_dir;
    platform::RecordingMessageBox boxes;
    sim::SimProcessor processor;
    std::unique_ptr<sim::SimHidBackend> backend = std::make_unique<sim::SimHidBackend>(processor);
    RecordingForm form;
    std::unique_ptr<RecordingView> view;

private:
    platform::HidBackend* m_previousBackend = nullptr;
};

} // namespace linktest
