#pragma once

// The edit of the preset name, which is stored as GBK bytes: with the
// double-byte mode on (the default) every double-byte character starts at an
// even byte offset, a space being put before it where needed; with the mode
// off double-byte characters cannot be typed at all.

#include "platform/win/Edit.h"

class CChEnEdit : public CEdit {
public:
    void SetEvenAlign(BOOL on) { m_bEvenAlign = on; }

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWnd);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bEvenAlign = TRUE;
};
