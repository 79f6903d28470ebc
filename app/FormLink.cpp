#include "app/FormLink.h"

#include "platform/sys/UserMessages.h"

LRESULT CFormLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The output page posts its output choice to the view's link handle.
    if (message == UM_PRESET_NAME_CHANGED || message == UM_SELECT_OUTPUT) {
        if (m_hForm)
            ::PostMessage(m_hForm, message, wParam, lParam);
        return 0;
    }
    return CTALQ50View::HandleMessage(message, wParam, lParam);
}
