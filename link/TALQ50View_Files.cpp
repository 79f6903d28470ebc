// Presets and the output map as files on the computer, and the name a
// one-preset file gives the live preset.  A refused file changes nothing:
// the codecs check a file whole before they store anything, and the model,
// the form and the processor are brought up to date only after that.

#include "link/SyncForm.h"
#include "link/SyncModel.h"
#include "link/TALQ50View.h"
#include "link/ViewTexts.h"
#include "model/DataDefine.h"
#include "model/Globals.h"
#include "model/PresetJson.h"
#include "model/TALQ50Doc.h"
#include "platform/sys/Archive.h"
#include "platform/sys/FileDialog.h"
#include "platform/sys/Gbk.h"
#include "platform/sys/SaveFile.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

namespace {

// Save dialogs take new names and ask before an existing file is replaced.
constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
// Bytes of a file title that may name the live preset.
constexpr std::size_t kTitleNameBytes = 13;

// The chosen path, with the kind's extension appended unless the file
// already has exactly that one (case counts: a.RDDS becomes a.RDDS.rdds).
CString WithKindExtension(const CFileDialog& dlg, const CString& ext) {
    const CString path = dlg.GetPathName();
    return dlg.GetFileExt() == ext ? path : path + "." + ext;
}

// The dialog asked before replacing the name as chosen; a name the
// extension rule made is asked about here, so no file is replaced unasked.
bool MayWrite(const CFileDialog& dlg, const CString& path) {
    std::error_code error;
    if (path == dlg.GetPathName() || !std::filesystem::exists(path, error))
        return true;
    return LangMessageBox("文件已存在，是否替换?", "The file already exists. Replace it?", MB_YESNO) == IDYES;
}

// The file name without its folder and its last extension.
CString FileTitle(const CString& path) {
    const auto slash = path.find_last_of('/');
    CString name = slash == CString::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    return dot == CString::npos ? name : name.substr(0, dot);
}

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// The whole characters of a title that fit its first 13 GBK bytes, and the
// single-byte ones among them.  A character GBK cannot encode counts as two
// bytes, like the double-byte characters it stands beside, and is never
// part of the name.
struct TitleHead {
    CString head;
    CString name;
};
TitleHead SplitTitle(const CString& title) {
    TitleHead result;
    std::size_t used = 0;
    for (std::size_t i = 0; i < title.size();) {
        const std::size_t length = std::min(Utf8SequenceLength(BYTE(title[i])), title.size() - i);
        const CString ch = title.substr(i, length);
        const bool single = length == 1 && BYTE(ch[0]) < 0x80;
        std::size_t bytes = 1;
        if (!single) {
            const auto gbk = platform::Utf8ToGbk(ch);
            bytes = gbk ? gbk->size() : 2;
        }
        if (used + bytes > kTitleNameBytes)
            break;
        used += bytes;
        result.head += ch;
        if (single)
            result.name += ch;
        i += length;
    }
    return result;
}

} // namespace

// ---- One preset --------------------------------------------------------------

int CTALQ50View::SavePresetFile() {
    ReadFolderSetting(1);
    CFileDialog dlg(FALSE, g_strPresetExt, "", kSaveFlags, g_strPresetFilter, m_hWnd);
    dlg.SetInitialDir(m_strPresetFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    const CString path = WithKindExtension(dlg, g_strPresetExt);
    if (!MayWrite(dlg, path))
        return 0;
    if (m_pSyncModel)
        m_pSyncModel->PackToImage();
    CPresetJson file;
    if (!file.WritePresetFile(g_DeviceSettings, g_DeviceImage, path)) {
        LangMessageBox("保存场景文件错误!", "Save presets file error!");
        return 0;
    }
    // The file keeps the name the live preset had; the new one goes to the
    // processor through the name request.
    SetPresetNameFromFile(FileTitle(path));
    g_bNameCheckPending = 0;
    return 1;
}

int CTALQ50View::LoadPresetFile() {
    ReadFolderSetting(1);
    CFileDialog dlg(TRUE, g_strPresetExt, "", kOpenFlags, g_strPresetFilter, m_hWnd);
    dlg.SetInitialDir(m_strPresetFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    m_strPresetFolder = dlg.GetFolderPath();
    SaveFolderSettings(1);
    const CString path = dlg.GetPathName();
    CPresetJson file;
    if (!file.ReadPresetFile(g_DeviceSettings, g_DeviceImage, path)) {
        LangMessageBox("读场景文件错误!", "Read presets file  error!");
        return 0;
    }
    {
        CModelLock lock(true);
        if (m_pSyncModel)
            m_pSyncModel->LoadFromImage(g_DeviceImage, -1);
        if (m_pSyncForm)
            m_pSyncForm->UpdateAllControls();
    }
    LoadSpeakerTypes(0);
    {
        // The file replaced every output: the page's band controls and the
        // strips would otherwise keep showing the preset that was there.
        CModelLock lock(true);
        if (m_pSyncForm)
            m_pSyncForm->UpdateOutputControls();
    }
    SelectInputSource(g_DeviceSettings.InputSettings[0], 0);
    SetPresetNameFromFile(FileTitle(path));
    SendPreset(0, 0);
    return 1;
}

// ---- All presets -------------------------------------------------------------

int CTALQ50View::BrowseAllPresetsFile() {
    ReadFolderSetting(2);
    CFileDialog dlg(FALSE, g_strAllPresetsExt, "", kSaveFlags, g_strAllPresetsFilter, m_hWnd);
    dlg.SetInitialDir(m_strAllPresetsFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    const CString path = WithKindExtension(dlg, g_strAllPresetsExt);
    if (!MayWrite(dlg, path))
        return 0;
    m_strAllPresetsFolder = dlg.GetFolderPath();
    SaveFolderSettings(2);
    g_strAllPresetsPath = path;
    return 1;
}

int CTALQ50View::SaveAllPresetsFile() {
    CPresetJson file;
    if (!file.WriteAllPresetsFile(g_strAllPresetsPath)) {
        LangMessageBox("保存整机场景文件错误!", "Save all presets file error!");
        return 0;
    }
    return 1;
}

int CTALQ50View::LoadAllPresetsFile() {
    ReadFolderSetting(2);
    CFileDialog dlg(TRUE, g_strAllPresetsExt, "", kOpenFlags, g_strAllPresetsFilter, m_hWnd);
    dlg.SetInitialDir(m_strAllPresetsFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    m_strAllPresetsFolder = dlg.GetFolderPath();
    SaveFolderSettings(2);
    CPresetJson file;
    if (!file.ReadAllPresetsFile(dlg.GetPathName())) {
        LangMessageBox("读整机场景文件错误!", "Read all presets file error!");
        return 0;
    }
    g_bNameCheckPending = 0;
    ApplyAllPresetsImages();
    MarkPresetNameChanged(1);
    return 1;
}

void CTALQ50View::ApplyAllPresetsImages() {
    {
        CModelLock lock(true);
        if (m_pSyncModel)
            m_pSyncModel->LoadFromImage(g_DeviceImage, -1);
    }
    SelectInputSource(g_DeviceSettings.InputSettings[0], 0);
    {
        CModelLock lock(true);
        if (m_pSyncForm)
            m_pSyncForm->UpdateAllControls();
    }
    LoadSpeakerTypes(0);
    SendAllPresets();
    {
        CModelLock lock(true);
        if (m_pSyncForm)
            m_pSyncForm->UpdateOutputControls();
    }
}

// ---- Output map --------------------------------------------------------------

int CTALQ50View::SaveOutputMapFile() {
    ReadFolderSetting(3);
    CFileDialog dlg(FALSE, g_strMapExt, "", kSaveFlags, g_strMapFilter, m_hWnd);
    dlg.SetInitialDir(m_strMapFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    const CString path = WithKindExtension(dlg, g_strMapExt);
    if (!MayWrite(dlg, path))
        return 0;
    m_strMapFolder = dlg.GetFolderPath();
    SaveFolderSettings(3);
    // Built whole before the file is touched: a failed save keeps the old map.
    std::ostringstream out(std::ios::binary);
    bool written = m_pDocument != nullptr;
    if (written) {
        CArchive ar(out);
        written = m_pDocument->SerializeOutputMap(ar) && platform::SaveFileWhole(path, out.view());
    }
    if (!written) {
        LangMessageBox("保存输出配置错误!", "Save output map error!");
        return 0;
    }
    return 1;
}

int CTALQ50View::LoadOutputMapFile() {
    ReadFolderSetting(3);
    CFileDialog dlg(TRUE, g_strMapExt, "", kOpenFlags, g_strMapFilter, m_hWnd);
    dlg.SetInitialDir(m_strMapFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    m_strMapFolder = dlg.GetFolderPath();
    SaveFolderSettings(3);
    std::ifstream in(dlg.GetPathName(), std::ios::binary);
    bool read = in.is_open() && m_pDocument;
    if (read) {
        CArchive ar(in);
        read = m_pDocument->SerializeOutputMap(ar);
    }
    if (!read) {
        LangMessageBox("读输出配置错误!", "Read output map error!");
        return 0;
    }
    return 1;
}

// ---- The live preset's name --------------------------------------------------

void CTALQ50View::SetPresetNameFromFile(const CString& title) {
    const TitleHead split = SplitTitle(title);
    {
        // Under the lock of the communication thread's pick: a rename to
        // "Custom" still pending from an earlier edit must not overwrite the
        // file's name before the file's own transfer is queued.
        CModelLock lock(true);
        StringToBytesZ(g_DeviceImage + kPresetNameOffset, kPresetNameSize,
                       split.name.empty() ? g_strCustomPresetName : split.name);
        g_bNameCheckPending = 0;
    }
    SetShownPresetName(split.head);
    g_bPresetNamePending = 1;
}

void CTALQ50View::MarkPresetNameChanged(int value) {
    g_bPresetNamePending = value;
}
