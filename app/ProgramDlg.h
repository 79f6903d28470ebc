#pragma once

// The processor's six stored presets in a grid, in one of three modes: load
// one into the live preset, save the live preset as one under a new name,
// or clear one's name.  Every action keeps the dialog open.

#include "controls/ComboGridCtrl.h"
#include "platform/win/Button.h"
#include "platform/win/Dialog.h"

class CTALQ50View;

class CProgramDlg : public CDialog {
public:
    static constexpr UINT IDD = 170;
    enum Mode { kLoad = 0, kSaveAs = 1, kDelete = 2 };

    explicit CProgramDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
    ~CProgramDlg() override;

    void SetUpGrid();
    void FillPresetList();
    void SetModeTexts();
    // The actions on m_nSelected.
    void LoadPreset();
    void SaveAsPreset();
    void DeletePreset();

    BOOL PreTranslateMessage(MSG* msg) override;

    int m_nMode = kLoad;
    CTALQ50View* m_pView = nullptr;
    int m_nSelected = 1;
    CString m_strName;
    CGridCellID m_cellSaveAs;
    CGridCellID m_cellLoad;
    CGridCellID m_cellDelete;

    CButton m_btnQuit;
    CButton m_btnAction;
    CComboGridCtrl m_grid;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnAction();
    void OnGridDblClk(NMHDR* hdr, LRESULT* result);
    void OnGridCellCleared(NMHDR* hdr, LRESULT* result);
    LRESULT OnPresetLoad(WPARAM, LPARAM);
    LRESULT OnPresetSaveAs(WPARAM, LPARAM);
    LRESULT OnPresetDelete(WPARAM, LPARAM);
    void OnMenuLoad();
    void OnMenuSaveAs();
    void OnMenuDelete();
    DECLARE_MESSAGE_MAP()

private:
    // Only the six preset rows take an action.
    static bool IsPresetRow(const CGridCellID& cell) { return cell.row >= 1 && cell.row <= 6; }
    void StartLoad(const CGridCellID& cell);
    void StartSaveAs(const CGridCellID& cell);
    void StartDelete(const CGridCellID& cell);
};
