#include "platform/win/WndClass.h"

CString AfxRegisterWndClass(UINT classStyle, HCURSOR, HBRUSH, void*) {
    return "KtWnd:" + std::to_string(classStyle);
}
