#pragma once

// A view ready for a firmware update against the simulated processor: the
// update dialog's progress bar and status label, a loaded firmware file, and
// what the processor received, step by step.

#include "link/LinkProgress.h"
#include "tests/link/FirmwareTestFiles.h"
#include "tests/link/ViewLinkFixture.h"

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace firmwaretest {

using firmware_test::Bytes;

// The dialog's bar and label; the communication thread sets them.
class DialogBar final : public ILinkProgressBar {
public:
    void SetRange(int, int upper) override {
        std::lock_guard lock(m_mutex);
        m_upper = upper;
    }
    void SetPos(int pos) override {
        std::lock_guard lock(m_mutex);
        m_pos = pos;
    }
    int GetCurPos() const override {
        std::lock_guard lock(m_mutex);
        return m_pos;
    }
    int GetUpper() const override {
        std::lock_guard lock(m_mutex);
        return m_upper;
    }

private:
    mutable std::mutex m_mutex;
    int m_pos = 0;
    int m_upper = 0;
};

class DialogLabel final : public ILinkStatusLabel {
public:
    void SetText(const CString& text) override {
        std::lock_guard lock(m_mutex);
        if (m_texts.empty() || m_texts.back() != text)
            m_texts.push_back(text);
    }
    // Every text shown, repeats folded.
    std::vector<CString> Texts() const {
        std::lock_guard lock(m_mutex);
        return m_texts;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<CString> m_texts;
};

class FirmwareView : public linktest::ViewLink {
protected:
    void SetUp() override {
        ViewLink::SetUp();
        g_bChinese = 0;
        g_pFirmwareProgress = &bar;
        g_pUpdateStatusLabel = &label;
        g_TxFrame[0] = g_TxFrame[1] = g_TxFrame[2] = 0x5C;
        g_TxFrame[3] = 0xEE;
        // The processor's restarts reach the view as they would in the
        // program: it goes away shortly after its answers to '6' and '9' and
        // is back within the 5 s the link waits, at a new path.
        view->RegisterHidNotification();
        Bus().SetRestart(1500, true, 50);
    }
    void TearDown() override {
        if (view)
            view->StopCommThread(1);
        g_pFirmwareProgress = nullptr;
        g_pUpdateStatusLabel = nullptr;
        ViewLink::TearDown();
    }

    // Loads a firmware file as the update dialog's start command does.
    void Load(const Bytes& content) {
        m_file = std::make_unique<firmware_test::TempFile>(content);
        g_strHexFile = m_file->Path();
        ASSERT_EQ(view->LoadFirmwareFile(1), 1);
        bar.SetRange(0, g_nFirmwareFrameTotal);
        bar.SetPos(0);
    }

    // How often the processor received frames of `step`.
    int Received(BYTE step) {
        int n = 0;
        for (const auto& r : processor.Requests())
            n += r.type == DATA_DEVICE_INFO && r.channel == step;
        return n;
    }

    std::vector<CString> BoxTexts() {
        std::vector<CString> texts;
        for (const auto& e : boxes.Entries())
            texts.push_back(e.text);
        return texts;
    }

    DialogBar bar;
    DialogLabel label;

private:
    std::unique_ptr<firmware_test::TempFile> m_file;
};

} // namespace firmwaretest
