#pragma once

// The about box: the connected processor's version label and this
// software's version beside the program's picture.

#include "controls/TransparentStatic.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Button.h"
#include "platform/win/Dialog.h"
#include "platform/win/Static.h"

class CVersionDlg : public CDialog {
public:
    static constexpr UINT IDD = 269;
    static constexpr UINT kPicture = 2065;
    static constexpr UINT kBlankLabel = 1876;
    static constexpr UINT kDeviceLabel = 1877;
    static constexpr UINT kSoftwareLabel = 1875;
    static constexpr UINT kNoticeLabel = 1894;
    static constexpr UINT kQuitButton = 1874;
    static constexpr UINT kPictureBitmap = 275;

    explicit CVersionDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // The processor's version label as it is shown: up to its first 0 byte,
    // without blanks at either end; empty before any processor answered.
    static CString DeviceVersion();

    CTransparentStatic& GetDeviceLabel() { return m_stDevice; }
    CTransparentStatic& GetSoftwareLabel() { return m_stSoftware; }

protected:
    void OnQuit();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    DECLARE_MESSAGE_MAP()

private:
    CTransparentStatic m_stBlank;
    CTransparentStatic m_stDevice;
    CTransparentStatic m_stSoftware;
    CTransparentStatic m_stNotice;
    CButton m_btnQuit;
    CBitmap m_bmPicture;
};
