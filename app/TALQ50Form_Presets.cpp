// The preset menu's device presets: one dialog, three modes.

#include "app/DisplayDlg.h"
#include "app/ProgramDlg.h"
#include "app/TALQ50Form.h"

void CTALQ50Form::RunPresetDialog(int mode) {
    CProgramDlg dialog;
    dialog.m_pView = &m_link;
    dialog.m_nMode = mode;
    dialog.DoModal();
    g_pProgramDlg = nullptr;
}

void CTALQ50Form::OnLoadMachinePreset() {
    RunPresetDialog(CProgramDlg::kLoad);
}

void CTALQ50Form::OnSaveAsMachinePreset() {
    RunPresetDialog(CProgramDlg::kSaveAs);
}

void CTALQ50Form::OnDeleteMachinePreset() {
    RunPresetDialog(CProgramDlg::kDelete);
}
