#pragma once

// The view with its document, file dialogs answered by the test, the
// documents folder and the file dialogs' folders inside a temporary folder.

#include "model/PresetJson.h"
#include "model/TALQ50Doc.h"
#include "platform/sys/ShellFolders.h"
#include "tests/link/FakeFileDialog.h"
#include "tests/link/SyncFixture.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace linktest {

inline const CString kFolderKey = "Software\\KAVRO-TUNE-V2.03_2.exe\\PC_File";

class PresetFiles : public SyncView {
protected:
    void SetUp() override {
        SyncView::SetUp();
        ASSERT_TRUE(m_files.isValid());
        platform::SetDocumentsFolder(Path("Documents"));
        QDir(m_files.path()).mkpath("Documents");
        QDir(m_files.path()).mkpath("Presets");
        view->SetDocument(&doc);
    }
    void TearDown() override {
        platform::SetDocumentsFolder({});
        g_strAllPresetsPath.clear();
        g_bPresetNamePending = 0;
        SetShownPresetName({});
        SyncView::TearDown();
    }

    CString Path(const CString& name) const {
        return m_files.filePath(QString::fromStdString(name)).toStdString();
    }

    CString Folder(const char* value) {
        HKEY key = nullptr;
        CString folder;
        if (RegOpenKey(HKEY_CURRENT_USER, kFolderKey, &key) == ERROR_SUCCESS) {
            RegQueryStringValue(key, value, &folder, 4096);
            RegCloseKey(key);
        }
        return folder;
    }

    static QByteArray FileBytes(const CString& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteBytes(const CString& path, const QByteArray& bytes) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Everything a refused file must leave as it was.
    struct Memories {
        std::vector<BYTE> live, stored, settings, crossovers;
        bool operator==(const Memories&) const = default;
    };
    static Memories Snapshot() {
        CModelLock lock(true);
        auto bytes = [](const void* p, std::size_t n) {
            const BYTE* b = static_cast<const BYTE*>(p);
            return std::vector<BYTE>(b, b + n);
        };
        return {bytes(g_DeviceImage, sizeof g_DeviceImage), bytes(g_PresetImages, sizeof g_PresetImages),
                bytes(&g_DeviceSettings, sizeof g_DeviceSettings),
                bytes(g_CrossoverTable, sizeof g_CrossoverTable)};
    }

    CTALQ50Doc doc;
    FakeFileDialog dialogs;

private:
    QTemporaryDir m_files;
};

} // namespace linktest
