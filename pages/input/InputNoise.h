#pragma once

// The input noise-gate dialog: one threshold, -99..-40 dBu or off, kept in
// bytes 3 and 7 of the system data and sent with it.  A committed value is
// stored and sent at once; the close box ends the dialog.

#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Dialog.h"

class CTALQ50View;

class CInputNoise : public CDialog {
public:
    static constexpr UINT IDD = 1189;
    static constexpr int kOff = 20; // the dialog value of "OFF"
    static constexpr int kMax = 80; // -40 dBu

    CInputNoise();

    CTALQ50View* m_pView = nullptr;
    CNumSpin m_spin; // 2852
    CNumEdit m_edit; // 2818
    CBitmap m_bmBackZh;
    CBitmap m_bmBackEn;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    void OnDestroy() {}
    void OnEditChanged();
    void OnSpinChanged();
    DECLARE_MESSAGE_MAP()

private:
    void Apply(int value);
};
