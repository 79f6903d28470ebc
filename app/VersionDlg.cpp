#include "app/VersionDlg.h"

#include "controls/SharedGdiObjects.h"
#include "model/DataDefine.h"
#include "model/Globals.h"
#include "platform/gdi/Dc.h"
#include "platform/sys/MessageBox.h"

BEGIN_MESSAGE_MAP(CVersionDlg, CDialog)
ON_WM_CTLCOLOR()
ON_WM_DRAWITEM()
ON_BN_CLICKED(CVersionDlg::kQuitButton, &CVersionDlg::OnQuit)
END_MESSAGE_MAP()

CVersionDlg::CVersionDlg(CWnd* parent) : CDialog(IDD, parent) {}

void CVersionDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, kBlankLabel, m_stBlank);
    DDX_Control(dx, kDeviceLabel, m_stDevice);
    DDX_Control(dx, kSoftwareLabel, m_stSoftware);
    DDX_Control(dx, kNoticeLabel, m_stNotice);
    DDX_Control(dx, kQuitButton, m_btnQuit);
}

CString CVersionDlg::DeviceVersion() {
    // The label field is filled by the communication thread's reply parser.
    CModelLock lock(false);
    return BytesToString(g_DeviceSettings.VersionLabel, int(sizeof g_DeviceSettings.VersionLabel));
}

BOOL CVersionDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // A picture static takes its picture's size.
    if (m_bmPicture.LoadBitmap(kPictureBitmap)) {
        const CSize size = m_bmPicture.GetBitmapDimension();
        GetDlgItem(int(kPicture))->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
    SetWindowText(g_bChinese ? "关于" : "About");
    m_btnQuit.SetWindowText(g_bChinese ? "退出" : "Quit");
    const CString version = DeviceVersion();
    m_stDevice.SetText((g_bChinese ? CString("设备版本 ") : CString("Device version ")) + version);
    m_stSoftware.SetText(g_bChinese ? g_strVersionZh : g_strVersionEn);
    m_stNotice.SetText(g_bChinese ? "版权所有 © KAVRO-TUNE" : "Copyright © KAVRO-TUNE");
    return TRUE;
}

// The usual dialog keys: Enter accepts, Escape cancels.
BOOL CVersionDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnOK();
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        OnCancel();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

HBRUSH CVersionDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    if (ctlColor == CTLCOLOR_DLG)
        return g_brDlgBk;
    return CDialog::OnCtlColor(dc, wnd, ctlColor);
}

// The picture keeps its own size at the top left of its frame.
void CVersionDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    if (UINT(id) != kPicture || !m_bmPicture.GetSafeHandle())
        return;
    CDC* dc = CDC::FromHandle(item->hDC);
    const CSize size = m_bmPicture.GetBitmapDimension();
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(&m_bmPicture);
    dc->BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

void CVersionDlg::OnQuit() {
    EndDialog(IDOK);
}
