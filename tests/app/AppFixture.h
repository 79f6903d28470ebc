#pragma once

// The whole program in the test process: the application object started as
// the program starts it, on a registry, documents folder and system locale of
// the test's own, with the simulated processor unplugged from USB, the ping
// answered by a script and message boxes recorded.

#include "app/TALQ50.h"
#include "app/TALQ50Form.h"
#include "model/Globals.h"
#include "platform/sys/RecordingMessageBox.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Shell.h"
#include "platform/sys/ShellFolders.h"
#include "platform/sys/VirtualClock.h"
#include "platform/win/Window.h"
#include "sim/lib/SimHidBackend.h"
#include "sim/lib/SimProcessor.h"
#include "tests/link/FakePing.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace apptest {

inline const CString kProgramKey = "Software\\KAVRO-TUNE-V2.03_2.exe";

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        platform::SetRegistryFile(m_dir.filePath("registry.ini").toStdString());
        documents = m_dir.filePath("Documents").toStdString();
        QDir().mkpath(QString::fromStdString(documents));
        platform::SetDocumentsFolder(documents);
        platform::SetSystemLocaleName("en_US");
        m_previousBackend = platform::HidBackend::Install(backend.get());
        backend->Bus().Unplug();
        ping.Answer(false);
        g_strDeviceIp = "127.0.0.1";
        g_bChinese = 0;
        g_strLanguage.clear();
        g_strHexFile.clear();
    }
    void TearDown() override {
        Stop();
        platform::HidBackend::Install(m_previousBackend);
        platform::SetRegistryFile({});
        platform::SetDocumentsFolder({});
        platform::SetSystemLocaleName({});
        g_bOnline = 0;
        g_bPresetLocked = 0;
        g_strLanguage.clear();
    }

    // Starts the program as its main does; false when start-up ended it.
    bool Start(const CString& commandLine = {}, platform::StopSignalWatch* stopSignals = nullptr) {
        app = std::make_unique<CTALQ50App>(stopSignals);
        boxes = std::make_unique<platform::RecordingMessageBox>();
        app->m_lpCmdLine = commandLine;
        const bool started = app->InitInstance() != FALSE;
        Pump();
        return started;
    }
    void Stop() {
        if (!app)
            return;
        app->ExitInstance();
        boxes.reset();
        app.reset();
        Pump();
        // A new process would start with these clear.
        g_nLinkMode = 0;
        g_bNetLinkUp = 0;
        g_bOnline = 0;
    }

    // Handles what is queued, Qt's own events included.
    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            platform::PumpMessages();
        }
    }
    // Handles messages until `done` holds; bounded by real time.
    static bool PumpUntil(const std::function<bool()>& done, int ms = 20000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            Pump();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }

    CTALQ50Form* View() const { return g_pView; }
    HWND MainWindow() const { return app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr; }
    QImage Render() const { return platform::win::RenderWindow(MainWindow()); }
    // Saves a picture for a person to look at, in the build folder.
    static void SavePng(const QImage& image, const char* name) {
        image.save(
            QDir(QCoreApplication::applicationDirPath() + "/..").absoluteFilePath(QString(name) + ".png"));
    }

    CString Value(const CString& key, const CString& name) {
        HKEY h = nullptr;
        CString value;
        if (RegOpenKey(HKEY_CURRENT_USER, kProgramKey + "\\" + key, &h) == ERROR_SUCCESS) {
            RegQueryStringValue(h, name, &value, 1 << 20);
            RegCloseKey(h);
        }
        return value;
    }
    void SetValue(const CString& key, const CString& name, const CString& value) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, kProgramKey + "\\" + key, &h), ERROR_SUCCESS);
        RegSetStringValue(h, name, value);
        RegCloseKey(h);
    }

    // Declared first: outlives everything that reads the time.
    std::unique_ptr<platform::VirtualClock> clock = std::make_unique<platform::VirtualClock>();
    QTemporaryDir m_dir;
    CString documents;
    sim::SimProcessor processor;
    std::unique_ptr<sim::SimHidBackend> backend = std::make_unique<sim::SimHidBackend>(processor);
    linktest::FakePingRunner ping;
    std::unique_ptr<CTALQ50App> app;
    std::unique_ptr<platform::RecordingMessageBox> boxes;

private:
    platform::HidBackend* m_previousBackend = nullptr;
};

} // namespace apptest
