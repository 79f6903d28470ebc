// The system menu's two dialogs: the firmware update and the about box.

#include "app/TALQ50Form.h"
#include "app/UpgradeDlg.h"
#include "app/VersionDlg.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"

#include <mutex>

// Both dialogs are owned by the main window, which stays disabled while
// they are open.
void CTALQ50Form::OnFirmwareUpdate() {
    CUpgradeDlg dialog(m_link, GetTopLevelParent());
    g_bReconnectPending = 0;
    dialog.DoModal();
    // The dialog withdrew its bar and label when it closed; whatever the
    // update left half done is over now.
    g_bReconnectPending = 0;
    {
        std::lock_guard lock(g_csFirmwareUi);
        g_pFirmwareProgress = nullptr;
        g_pUpdateStatusLabel = nullptr;
    }
    g_bUpgrading = 0;
}

void CTALQ50Form::OnVersion() {
    CVersionDlg dialog(GetTopLevelParent());
    dialog.DoModal();
}
