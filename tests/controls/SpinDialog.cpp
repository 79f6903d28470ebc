#include "SpinDialog.h"

#include "platform/sys/UserMessages.h"

#include <string>

BEGIN_MESSAGE_MAP(SpinDialog, CDialog)
ON_COMMAND(1000, &SpinDialog::OnEditCommand)
ON_COMMAND(1001, &SpinDialog::OnSpinCommand)
ON_MESSAGE(UM_SPIN_STEP, &SpinDialog::OnSpinStep)
END_MESSAGE_MAP()

void SpinDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, 1000, edit);
    DDX_Control(dx, 1001, spin);
}

void SpinDialog::OnEditCommand() {
    events.push_back("edit");
}

void SpinDialog::OnSpinCommand() {
    events.push_back("spin " + std::to_string(spin.GetPos()));
}

LRESULT SpinDialog::OnSpinStep(WPARAM id, LPARAM step) {
    events.push_back("step " + std::to_string(id) + " " + std::to_string(int(step)));
    return 0;
}
