#include "app/TALQ50.h"

#include "app/ChildFrm.h"
#include "app/MainFrm.h"
#include "app/MessageBox.h"
#include "app/TALQ50Form.h"
#include "controls/SharedGdiObjects.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/TALQ50Doc.h"
#include "platform/res/Resources.h"
#include "platform/sys/Shell.h"
#include "platform/win/TopLevel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr UINT kTitleString = 57344;
constexpr UINT kIconId = 273;
constexpr UINT kSpeakerMenuZh = 106;
constexpr UINT kSpeakerMenuEn = 107;

bool SameNoCase(const CString& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

bool IsRegistrationSwitch(const CString& commandLine) {
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        if (commandLine[i] != '-' && commandLine[i] != '/')
            continue;
        const CString rest = commandLine.substr(i + 1);
        if (SameNoCase(rest, "UnregServer") || SameNoCase(rest, "RegServer"))
            return true;
    }
    return false;
}

CTALQ50App::CTALQ50App(platform::StopSignalWatch* stopSignals) : m_pStopSignals(stopSignals) {
    if (!m_pStopSignals) {
        m_pOwnStopWatch = std::make_unique<platform::StopSignalWatch>();
        m_pStopSignals = m_pOwnStopWatch.get();
    }
    m_pPreviousBoxHandler = platform::SetMessageBoxHandler(this);
}

CTALQ50App::~CTALQ50App() {
    m_pStopSignals->Unwatch();
    m_pOwnStopWatch.reset();
    m_pChildFrame.reset();
    m_pMainFrame.reset();
    m_pDoc.reset();
    platform::SetMessageBoxHandler(m_pPreviousBoxHandler);
}

BOOL CTALQ50App::InitATL() {
    // Nothing registers here; the switches only end the process without a window.
    return IsRegistrationSwitch(m_lpCmdLine) ? FALSE : TRUE;
}

BOOL CTALQ50App::InitInstance() {
    if (!InitATL())
        return FALSE;
    // First, so a stop asked for before or while the window is being built
    // closes it once it is there.
    m_pStopSignals->Watch([this] { RequestClose(); });
    // The program opens no file: nothing on the command line has an effect.
    if (!m_lpCmdLine.empty())
        std::fprintf(stderr, "kavro-tune: ignoring the command line \"%s\"\n", m_lpCmdLine.c_str());
    for (int* table : {g_bOutChanged, g_bLinkGroupUsed, g_nLinkGroupSize, g_nLinkGroupMask})
        std::fill(table, table + kOutputCount, 0);
    InitDefaultDeviceData();
    CreateSharedFonts();
    g_bChinese = GetSystemDefaultLCID() == kLcidChineseSimplified;
    CreateDialogBrush();
    g_menuSpkType.DestroyMenu();
    g_menuSpkType.LoadMenu(g_bChinese ? kSpeakerMenuZh : kSpeakerMenuEn);

    m_pDoc = std::make_unique<CTALQ50Doc>();
    m_pDoc->OnNewDocument();
    m_pMainFrame = std::make_unique<CMainFrame>();
    if (!m_pMainFrame->LoadFrame()) {
        m_pMainFrame.reset();
        return FALSE;
    }
    m_pMainWnd = m_pMainFrame.get();
    platform::win::SetWindowIconResource(m_pMainFrame->GetSafeHwnd(), kIconId);
    m_pChildFrame = std::make_unique<CChildFrame>();
    m_pMainFrame->SetChildFrame(m_pChildFrame.get());
    if (!m_pChildFrame->LoadFrame(m_pMainFrame.get(), m_pDoc.get()))
        return FALSE;
    m_pMainFrame->ShowWindow(m_nCmdShow);
    m_pMainFrame->UpdateWindow();
    m_pChildFrame->ShowMaximized();
    return TRUE;
}

void CTALQ50App::RequestClose() {
    CTALQ50Form* view = m_pChildFrame ? m_pChildFrame->GetView() : nullptr;
    if (view && view->GetSafeHwnd())
        view->OnCloseButton();
    else
        AfxPostQuitMessage(0);
}

int CTALQ50App::ExitInstance() {
    // The handlers stay: a stop asked for while the program ends is kept, not
    // taken the default way.
    m_pStopSignals->Unwatch();
    // The view goes first: it joins the link's threads.
    m_pChildFrame.reset();
    m_pMainFrame.reset();
    m_pMainWnd = nullptr;
    return CWinApp::ExitInstance();
}

int CTALQ50App::DoMessageBox(const CString& text, UINT type, int code) {
    // A message raised inside a dialog belongs to that dialog, which must not
    // take clicks while the message is up.
    CWnd* owner = CDialog::ActiveModal();
    if (!owner || !owner->GetSafeHwnd())
        owner = m_pMainWnd && m_pMainWnd->GetSafeHwnd() ? m_pMainWnd : nullptr;
    const CString caption = platform::res::Provider().String(kTitleString).value_or(g_strTitle);
    CMessageBox box(text, type, caption, code, owner);
    box.DoModal();
    return box.GetResult();
}

int CTALQ50App::FindFreeSlot() {
    for (int group = 0; group < kOutputCount; ++group) {
        if (!g_bLinkGroupUsed[group])
            return group;
    }
    return -1;
}
