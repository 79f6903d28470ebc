#include "app/ProgramDlg.h"

#include "app/DisplayDlg.h"
#include "app/SaveDlg.h"
#include "controls/SharedGdiObjects.h"
#include "link/TALQ50View.h"
#include "model/DataDefine.h"
#include "model/Globals.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/UserMessages.h"

#include <cstring>
#include <mutex>

namespace {

constexpr UINT kActionId = 2727;
constexpr UINT kGridId = 2724;
constexpr int kRows = kPresetCount + 1;
constexpr int kNameColumnWidth = 262;
constexpr UINT kCellFormat = 0x8025; // centred on one line, an ellipsis at the end
constexpr int kNameCompareBytes = 13;

struct ModeTexts {
    const char* captionZh;
    const char* captionEn;
    const char* actionZh;
    const char* actionEn;
};
constexpr ModeTexts kModeTexts[] = {
    {"加载 机器预置场景", "Load Machine Preset", "加载", "Load"},
    {"另存为 机器预置场景", "Save As Machine Preset", "保存", "Save"},
    {"删除 机器预置场景", "Delete Machine Preset", "删除", "Delete"},
};

int LangBox(const CString& zh, const CString& en, UINT type = MB_OK) {
    return AfxMessageBox(g_bChinese ? zh : en, type, g_bChinese ? -2 : -3);
}

CString StoredName(int preset) {
    std::lock_guard lock(g_csModel);
    return BytesToString(g_PresetImages[preset - 1] + kPresetNameOffset, kPresetNameSize);
}

void CopyStoredNameToLive(int preset) {
    std::lock_guard lock(g_csModel);
    std::memcpy(g_DeviceImage + kPresetNameOffset, g_PresetImages[preset - 1] + kPresetNameOffset,
                kPresetNameSize);
}

} // namespace

BEGIN_MESSAGE_MAP(CProgramDlg, CDialog)
ON_WM_CTLCOLOR()
ON_BN_CLICKED(2727, &CProgramDlg::OnAction)
ON_NOTIFY(NM_DBLCLK, 2724, &CProgramDlg::OnGridDblClk)
ON_NOTIFY(GRIDN_CELLCLEARED, 2724, &CProgramDlg::OnGridCellCleared)
ON_MESSAGE(UM_PRESET_LOAD, &CProgramDlg::OnPresetLoad)
ON_MESSAGE(UM_PRESET_SAVE_AS, &CProgramDlg::OnPresetSaveAs)
ON_MESSAGE(UM_PRESET_DELETE, &CProgramDlg::OnPresetDelete)
ON_COMMAND(ID_GRID_LOAD_PRESET, &CProgramDlg::OnMenuLoad)
ON_COMMAND(ID_GRID_SAVE_PRESET, &CProgramDlg::OnMenuSaveAs)
ON_COMMAND(ID_GRID_DELETE_PRESET, &CProgramDlg::OnMenuDelete)
END_MESSAGE_MAP()

CProgramDlg::~CProgramDlg() {
    if (g_pProgramDlg == this)
        g_pProgramDlg = nullptr;
}

void CProgramDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, m_btnQuit);
    DDX_Control(dx, kActionId, m_btnAction);
    DDX_GridCtrl(dx, kGridId, m_grid);
}

BOOL CProgramDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nSelected = 1;
    SetUpGrid();
    FillPresetList();
    g_pProgramDlg = this;
    return TRUE;
}

void CProgramDlg::SetUpGrid() {
    m_grid.SetRowCount(kRows);
    m_grid.SetColumnCount(2);
    m_grid.SetFixedRowCount(1);
    m_grid.SetFixedColumnCount(1);
    m_grid.SetColumnWidth(1, kNameColumnWidth);
    m_grid.SetSingleRowSelection(TRUE);
    m_grid.SetEditable(FALSE);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < 2; ++col) {
            GRID_ITEM item;
            item.row = row;
            item.col = col;
            item.mask = GIF_TEXT | GIF_FORMAT;
            item.nFormat = kCellFormat;
            m_grid.SetItemValidated(&item);
        }
    }
    m_grid.SetItemText(0, 0, "No.");
    m_grid.SetItemText(0, 1, "Name");
    m_grid.SetSelectedRange(1, 0, 1, m_grid.GetColumnCount() - 1, FALSE);
    m_grid.EnsureVisible(1, 0);
    m_grid.SetGridColor(RGB(51, 153, 255));
    m_grid.SetFont(&g_fontPresetList);
}

void CProgramDlg::FillPresetList() {
    for (int preset = 1; preset <= kPresetCount; ++preset) {
        m_strName = StoredName(preset);
        m_grid.SetItemText(preset, 1, m_strName);
        m_grid.SetItemText(preset, 0, std::to_string(preset));
    }
    m_grid.SetFocusCell(1, 1);
    SetModeTexts();
    Invalidate();
}

void CProgramDlg::SetModeTexts() {
    m_grid.SetEditable(FALSE);
    const ModeTexts& t = kModeTexts[m_nMode >= kLoad && m_nMode <= kDelete ? m_nMode : kLoad];
    const bool zh = g_bChinese != 0;
    SetWindowText(zh ? t.captionZh : t.captionEn);
    m_btnAction.SetWindowText(zh ? t.actionZh : t.actionEn);
    m_grid.SetItemText(0, 0, zh ? "序号" : "No.");
    m_grid.SetItemText(0, 1, zh ? "场景名" : "Preset");
    m_btnQuit.SetWindowText(zh ? "退出" : "Quit");
}

// ---- Ways into an action -------------------------------------------------------

void CProgramDlg::StartLoad(const CGridCellID& cell) {
    m_cellLoad = cell;
    if (!IsPresetRow(cell))
        return;
    m_nSelected = cell.row;
    LoadPreset();
}

void CProgramDlg::StartSaveAs(const CGridCellID& cell) {
    m_cellSaveAs = cell;
    if (!IsPresetRow(cell))
        return;
    CSaveDlg prompt(this);
    prompt.m_nPreset = cell.row;
    if (prompt.DoModal() != IDOK)
        return;
    m_strName = prompt.m_strName;
    m_nSelected = cell.row;
    SaveAsPreset();
}

void CProgramDlg::StartDelete(const CGridCellID& cell) {
    m_cellDelete = cell;
    if (!IsPresetRow(cell))
        return;
    m_nSelected = cell.row;
    DeletePreset();
}

void CProgramDlg::OnAction() {
    const CGridCellID focus = m_grid.GetFocusCell();
    switch (m_nMode) {
    case kLoad:
        StartLoad(focus);
        break;
    case kSaveAs:
        StartSaveAs(focus);
        break;
    case kDelete:
        StartDelete(focus);
        break;
    default:
        break;
    }
}

void CProgramDlg::OnGridDblClk(NMHDR* hdr, LRESULT*) {
    const auto* notice = reinterpret_cast<const GridNotify*>(hdr);
    const CGridCellID cell(notice->iRow, notice->iColumn);
    switch (m_nMode) {
    case kLoad:
        m_cellLoad = cell;
        PostMessage(UM_PRESET_LOAD);
        break;
    case kSaveAs:
        m_cellSaveAs = cell;
        PostMessage(UM_PRESET_SAVE_AS);
        break;
    case kDelete:
        m_cellDelete = cell;
        PostMessage(UM_PRESET_DELETE);
        break;
    default:
        break;
    }
}

void CProgramDlg::OnGridCellCleared(NMHDR* hdr, LRESULT*) {
    const auto* notice = reinterpret_cast<const GridNotify*>(hdr);
    StartDelete(CGridCellID(notice->iRow, notice->iColumn));
}

LRESULT CProgramDlg::OnPresetLoad(WPARAM, LPARAM) {
    StartLoad(m_cellLoad);
    return 0;
}

LRESULT CProgramDlg::OnPresetSaveAs(WPARAM, LPARAM) {
    StartSaveAs(m_cellSaveAs);
    return 0;
}

LRESULT CProgramDlg::OnPresetDelete(WPARAM, LPARAM) {
    StartDelete(m_cellDelete);
    return 0;
}

void CProgramDlg::OnMenuLoad() {
    StartLoad(m_grid.GetRightClickCell());
}

void CProgramDlg::OnMenuSaveAs() {
    StartSaveAs(m_grid.GetRightClickCell());
}

void CProgramDlg::OnMenuDelete() {
    StartDelete(m_grid.GetRightClickCell());
}

// ---- The actions ---------------------------------------------------------------

void CProgramDlg::LoadPreset() {
    if (!g_bOnline || !m_pView)
        return;
    CopyStoredNameToLive(m_nSelected);
    m_pView->ReadPreset(m_nSelected, 1);
}

void CProgramDlg::SaveAsPreset() {
    if (m_strName.empty()) {
        LangBox("机器预置场景名不能为空!", "The machine preset name can not be empty!");
        return;
    }
    if (IsBlank(m_strName)) {
        LangBox("机器预置场景名不能全为空格!", "The machine preset name can not be all spaces!");
        return;
    }
    BYTE field[kPresetNameSize] = {};
    if (!StringToBytesZ(field, kPresetNameSize, m_strName))
        return;
    {
        std::lock_guard lock(g_csModel);
        if (IsPresetNameDuplicate(m_nSelected - 1, field, 1, kNameCompareBytes)) {
            LangBox("已有相同的机器预置场景名!", "Have been the same machine preset name!");
            return;
        }
        std::memcpy(g_PresetImages[m_nSelected - 1] + kPresetNameOffset, field, kPresetNameSize);
    }
    m_grid.SetItemText(m_cellSaveAs.row, 1, m_strName);
    CopyStoredNameToLive(m_nSelected);
    if (m_pView) {
        m_pView->MarkPresetNameChanged(1);
        m_pView->SendPreset(m_nSelected, 1);
    }
}

void CProgramDlg::DeletePreset() {
    const CString n = std::to_string(m_nSelected);
    if (LangBox("是否删除第" + n + "组场景?", "Are you delete No." + n + " preset?", MB_YESNO) != IDYES)
        return;
    if (!g_bOnline)
        return;
    m_strName.clear();
    {
        std::lock_guard lock(g_csModel);
        std::memset(g_PresetImages[m_nSelected - 1] + kPresetNameOffset, 0, kPresetNameSize);
    }
    m_grid.SetItemText(m_cellDelete.row, 1, "");
    if (!m_pView)
        return;
    if (g_DeviceSettings.CurrentPreset[0] == m_nSelected)
        m_pView->SendPresetNameResetCurrent(m_nSelected);
    else
        m_pView->SendCommand(INFO_PRESET_NAME, m_nSelected);
}

BOOL CProgramDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        // Neither key acts or closes the dialog; every key goes on to the
        // focused control untouched by the dialog's keyboard handling.
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)
            SetFocus();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}

HBRUSH CProgramDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    HBRUSH brush = CDialog::OnCtlColor(dc, wnd, ctlColor);
    return ctlColor == CTLCOLOR_DLG ? HBRUSH(g_brDlgBk) : brush;
}
