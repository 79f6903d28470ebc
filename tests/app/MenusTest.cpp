// The two popup menus of the title strip: what they offer with and without
// a link, their texts in both languages, and the help command.

#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/ShellOpen.h"
#include "tests/app/AppFixture.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <tuple>
#include <vector>

namespace {

using apptest::AppFixture;

struct ShownItem {
    UINT id;
    CString text;
    UINT state;
};

// Records what a menu offered and picks `choose`, as a click on it would.
class RecordingTracker final : public platform::win::PopupMenuTracker {
public:
    RecordingTracker() { m_previous = platform::win::InstallPopupMenuTracker(this); }
    ~RecordingTracker() override { platform::win::InstallPopupMenuTracker(m_previous); }

    UINT Track(const platform::win::MenuData& menu, POINT screen, UINT, HWND) override {
        if (!picture.isEmpty())
            SavePicture(menu);
        items.clear();
        for (const auto& item : menu.items)
            items.push_back({item.id, item.text, item.state});
        at = screen;
        return choose;
    }

    std::vector<ShownItem> items;
    POINT at{};
    UINT choose = 0;
    QString picture; // saved as this, when set

private:
    // The menu as the desktop's menu shows it: grey for MF_GRAYED only.
    void SavePicture(const platform::win::MenuData& menu) {
        QMenu qmenu;
        for (const auto& item : menu.items) {
            if (item.state & MF_SEPARATOR) {
                qmenu.addSeparator();
                continue;
            }
            qmenu.addAction(QString::fromStdString(item.text))->setEnabled(!(item.state & MF_GRAYED));
        }
        qmenu.adjustSize();
        qmenu.grab().save(QDir(QCoreApplication::applicationDirPath() + "/..").absoluteFilePath(picture));
    }

public:
private:
    platform::win::PopupMenuTracker* m_previous = nullptr;
};

// Records the files handed on and counts the verdicts; it answers `opens`
// at once, or hands the file to `launcher` and passes its verdict on.
class RecordingOpener final : public platform::win::ShellOpener {
public:
    explicit RecordingOpener(platform::win::ShellOpener* launcher = nullptr) : m_launcher(launcher) {
        m_previous = platform::win::InstallShellOpener(this);
    }
    ~RecordingOpener() override { platform::win::InstallShellOpener(m_previous); }
    void Open(const CString& path, std::function<void(bool)> verdict) override {
        opened.push_back(path);
        if (!m_launcher) {
            ++verdicts;
            verdict(opens);
            return;
        }
        m_launcher->Open(path, [this, verdict = std::move(verdict)](bool taken) {
            ++verdicts;
            verdict(taken);
        });
    }
    std::vector<CString> opened;
    bool opens = true;
    int verdicts = 0;

private:
    platform::win::ShellOpener* m_launcher = nullptr;
    platform::win::ShellOpener* m_previous = nullptr;
};

// A launcher script in `dir`, made executable.
QString WriteLauncher(const QString& path, const char* script) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(script);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class Menus : public AppFixture {
protected:
    void Click(UINT button) {
        View()->SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                            LPARAM(View()->GetDlgItem(int(button))->GetSafeHwnd()));
        Pump();
    }
    std::vector<CString> Texts() const {
        std::vector<CString> texts;
        for (const ShownItem& item : tracker.items)
            texts.push_back(item.text);
        return texts;
    }

    // Closes each box that shows with Escape, keeping its caption and text.
    void StartClosingBoxes() {
        QObject::connect(&m_closer, &QTimer::timeout, [this] {
            CDialog* box = CDialog::ActiveModal();
            if (!box || !box->GetSafeHwnd() || !box->IsWindowVisible())
                return;
            boxCaption = box->GetWindowText();
            if (CWnd* text = box->GetDlgItem(1001))
                boxText = text->GetWindowText();
            platform::win::KeyInput(VK_ESCAPE, 0);
        });
        m_closer.start(1);
    }

    // Runs the help command and waits for the verdict on the file: the
    // caption of the box that followed (closed with Escape), empty when none.
    CString HelpBoxCaption(const RecordingOpener& opener) {
        boxCaption.clear();
        boxText.clear();
        const int verdicts = opener.verdicts;
        View()->OnHelp();
        EXPECT_TRUE(PumpUntil([&] { return opener.verdicts > verdicts; }));
        // A failure found out later is posted: it shows on the next pass.
        Pump();
        return boxCaption;
    }

    RecordingTracker tracker;
    CString boxCaption;
    CString boxText;
    QTimer m_closer;
};

TEST_F(Menus, WithoutALinkTheDevicePresetItemsLookEnabledButDoNothing) {
    ASSERT_TRUE(Start());
    for (int connected : {0, 1}) {
        SCOPED_TRACE(connected);
        View()->GetLink().m_bConnected = connected;
        Click(8801);
        ASSERT_EQ(tracker.items.size(), 9u);
        for (std::size_t pos : {0u, 1u, 2u, 7u, 8u})
            EXPECT_EQ(tracker.items[pos].state, connected ? 0u : MF_DISABLED) << pos;
        for (std::size_t pos : {4u, 5u})
            EXPECT_EQ(tracker.items[pos].state, 0u) << pos;
        EXPECT_EQ(tracker.items[3].state, MF_SEPARATOR);
        RECT button;
        View()->GetDlgItem(8801)->GetWindowRect(&button);
        EXPECT_EQ(tracker.at.x, button.left);
        EXPECT_EQ(tracker.at.y, button.bottom + 2);
    }
    View()->GetLink().m_bConnected = 0;

    // An inert item reaches no handler; the same item enabled does.
    View()->GetSystemMenu().EnableMenuItem(729, MF_BYCOMMAND | MF_DISABLED);
    tracker.choose = 729;
    Click(8802);
    EXPECT_EQ(g_bChinese, 0);
    View()->GetSystemMenu().EnableMenuItem(729, MF_BYCOMMAND | MF_ENABLED);
    Click(8802);
    EXPECT_EQ(g_bChinese, 1);
}

TEST_F(Menus, TextsInBothLanguagesAndTheLanguageItemByTheSystemsLocale) {
    const std::vector<CString> presetEn = {"Load Machine Preset(&E)",
                                           "Save As Machine Preset(&I)",
                                           "Delete Machine Preset(&D)",
                                           "",
                                           "Load PC Presets File(&O)",
                                           "Save As PC Presets File(&S)",
                                           "",
                                           "Load All Presets",
                                           "Save All Presets"};
    const std::vector<CString> presetZh = {"加载 机器预置场景(&E)",
                                           "另存为 机器预置场景(&I)",
                                           "删除 机器预置场景(&D)",
                                           "",
                                           "加载 电脑上场景文件(&O)",
                                           "另存为 电脑上场景文件(&S)",
                                           "",
                                           "加载 整机场景",
                                           "保存 整机场景"};
    const std::vector<CString> systemZh = {"English", "固件更新", "帮助(&F)", "关于(&A)...", "恢复出厂设置"};
    for (const char* locale : {"en_US", "zh_CN"}) {
        SCOPED_TRACE(locale);
        platform::SetSystemLocaleName(locale);
        SetValue("DspMcu", "Language", "English");
        ASSERT_TRUE(Start());
        Click(8802);
        std::vector<UINT> ids;
        for (const ShownItem& item : tracker.items)
            ids.push_back(item.id);
        EXPECT_EQ(ids, (std::vector<UINT>{729, 727, 730, 731, 32779}));
        const CString language = CString(locale) == "zh_CN" ? "中文" : "Chinese";
        EXPECT_EQ(Texts(), (std::vector<CString>{language, "Firmware Update", "Help(&F)", "About(&A)",
                                                 "Restore factory settings"}));
        Click(8801);
        EXPECT_EQ(Texts(), presetEn);

        View()->SwitchLanguage(1);
        Click(8802);
        EXPECT_EQ(Texts(), systemZh);
        Click(8801);
        EXPECT_EQ(Texts(), presetZh);
        Stop();
    }
}

TEST_F(Menus, Pictures) {
    for (const char* language : {"English", "Chinese"}) {
        SetValue("DspMcu", "Language", language);
        ASSERT_TRUE(Start());
        const QString lang = g_bChinese ? "zh" : "en";
        tracker.picture = "menu_preset_" + lang + ".png";
        Click(8801);
        tracker.picture = "menu_system_" + lang + ".png";
        Click(8802);
        tracker.picture.clear();
        Stop();
    }
}

TEST_F(Menus, HelpOpensTheStartFoldersFileOfTheLanguageOrSaysItIsMissing) {
    const QString start = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    QFile(m_dir.filePath("EN_Help.chm")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(Start());
    QDir::setCurrent(start);
    RecordingOpener opener;
    StartClosingBoxes();

    EXPECT_EQ(HelpBoxCaption(opener), "");
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], m_dir.filePath("EN_Help.chm").toStdString());

    // Chinese help is missing; an English one that nothing opens counts as missing too.
    for (int chinese : {1, 0}) {
        SCOPED_TRACE(chinese);
        g_bChinese = chinese;
        opener.opens = false;
        const int verdicts = opener.verdicts;
        View()->OnHelp();
        EXPECT_EQ(opener.verdicts, verdicts + (chinese ? 0 : 1));
        Pump();
        EXPECT_EQ(boxCaption, chinese ? "帮助" : "Help");
        EXPECT_EQ(boxText, chinese ? "没有发现帮助文件!" : "Not find help file!");
        boxCaption.clear();
    }
    EXPECT_EQ(opener.opened.size(), 2u); // the missing Chinese file was never handed on
}

// A system without a viewer for the file's type: the desktop's launcher ends
// with a failure (xdg-open's 3: no application) or is not there at all.
TEST_F(Menus, HelpThatTheLauncherCannotOpenSaysTheFileIsMissing) {
    const QString start = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    QFile(m_dir.filePath("EN_Help.chm")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(Start());
    QDir::setCurrent(start);
    const std::pair<const char*, bool> cases[] = {
        {"#!/bin/sh\necho \"$1\" > \"$0.got\"\n", true},
        {"#!/bin/sh\necho \"$1\" > \"$0.got\"\nexit 3\n", false},
        {nullptr, false},
    };
    StartClosingBoxes();
    int n = 0;
    for (const auto& [script, opens] : cases) {
        SCOPED_TRACE(n);
        const QString launcher = m_dir.filePath(QString("launcher%1").arg(n++));
        if (script) {
            ASSERT_FALSE(WriteLauncher(launcher, script).isEmpty());
        }
        platform::win::LauncherOpener desktop(launcher.toStdString());
        RecordingOpener opener(&desktop);
        EXPECT_EQ(HelpBoxCaption(opener), opens ? "" : "Help");
        if (script) {
            QFile got(launcher + ".got");
            ASSERT_TRUE(got.open(QIODevice::ReadOnly));
            EXPECT_EQ(got.readAll().trimmed().toStdString(), m_dir.filePath("EN_Help.chm").toStdString());
        }
    }
}

// The launcher decides while the window goes on: the help command returns
// at once, and the window's timers and messages run while the launcher is
// still busy; a launcher that then fails brings the message.
TEST_F(Menus, TheWindowGoesOnWhileTheLauncherDecidesAndAFailureShowsWhenItComes) {
    const QString start = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    QFile(m_dir.filePath("EN_Help.chm")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(Start());
    QDir::setCurrent(start);
    // Busy until the test lets it go, then no application for the file.
    const QString launcher =
        WriteLauncher(m_dir.filePath("launcher"), "#!/bin/sh\n"
                                                  ": > \"$0.busy\"\n"
                                                  "while [ ! -e \"$0.go\" ]; do sleep 0.01; done\n"
                                                  "exit 3\n");
    ASSERT_FALSE(launcher.isEmpty());
    platform::win::LauncherOpener desktop(launcher.toStdString());
    RecordingOpener opener(&desktop);
    StartClosingBoxes();

    // A window of the program's own thread, counting its timer ticks and messages.
    class Counter final : public platform::MessageTarget {
    public:
        LRESULT HandleMessage(UINT message, WPARAM, LPARAM) override {
            ticks += message == WM_TIMER;
            posted += message == WM_USER;
            return 0;
        }
        int ticks = 0;
        int posted = 0;
    } counter;
    const HWND hwnd = platform::RegisterMessageTarget(&counter);
    SetTimer(hwnd, 1, 100);

    View()->OnHelp();
    ASSERT_TRUE(PumpUntil([&] { return QFile::exists(launcher + ".busy"); }));
    for (int i = 1; i <= 3; ++i) {
        clock->Advance(100);
        PostMessage(hwnd, WM_USER, 0, 0);
        Pump();
        EXPECT_EQ(counter.ticks, i);
        EXPECT_EQ(counter.posted, i);
    }
    EXPECT_EQ(opener.verdicts, 0);
    EXPECT_EQ(boxCaption, "");

    QFile(launcher + ".go").open(QIODevice::WriteOnly);
    EXPECT_TRUE(PumpUntil([&] { return !boxCaption.empty(); }));
    EXPECT_EQ(boxCaption, "Help");
    EXPECT_EQ(boxText, "Not find help file!");
    EXPECT_EQ(opener.verdicts, 1);
    KillTimer(hwnd, 1);
    platform::UnregisterMessageTarget(hwnd);
}

} // namespace
