#pragma once

// A dialog of a number edit (1000) and its spin (1001) that keeps, in order,
// what they tell it: "edit", "spin <pos>" and "step <sender> <step>".

#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "platform/win/Dialog.h"

#include <vector>

class SpinDialog final : public CDialog {
public:
    CNumEdit edit;
    CNumSpin spin;
    std::vector<CString> events;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnEditCommand();
    void OnSpinCommand();
    LRESULT OnSpinStep(WPARAM id, LPARAM step);
    DECLARE_MESSAGE_MAP()
};
