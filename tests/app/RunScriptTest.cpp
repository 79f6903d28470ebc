// The program and its run script as a user starts them: without a display
// both say how to run them and start nothing; bad settings in the
// environment give a line on stderr; SIGTERM to the script at any moment of
// the start stops the program and the simulated processor cleanly and leaves
// no process behind.

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

namespace {

QProcessEnvironment Environment(const QTemporaryDir& home, bool display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    if (display) {
        // Any display name will do: the program draws offscreen.
        env.insert("DISPLAY", ":kt-test");
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("KT_NO_BUILD", "1");
    env.insert("KT_BUILD_DIR", KT_BUILD_ROOT);
    return env;
}

std::vector<pid_t> Children(qint64 pid) {
    QFile file(QString("/proc/%1/task/%1/children").arg(pid));
    std::vector<pid_t> children;
    if (!file.open(QIODevice::ReadOnly))
        return children;
    for (const QByteArray& word : file.readAll().split(' ')) {
        if (!word.trimmed().isEmpty())
            children.push_back(pid_t(word.trimmed().toInt()));
    }
    return children;
}

bool Gone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

bool HasAnyFile(const QString& dir) {
    return QDirIterator(dir, QDir::Files, QDirIterator::Subdirectories).hasNext();
}

// Polls `done`; bounded by a limit far above any start-up.
template <typename Done> bool WaitUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(RunScript, WithoutADisplayTheScriptAndTheProgramSayHowToRunAndStartNothing) {
    QTemporaryDir home;
    for (const QStringList& command : {QStringList{"bash", KT_RUN_SCRIPT}, QStringList{KT_PROGRAM}}) {
        SCOPED_TRACE(command.join(' ').toStdString());
        QProcess p;
        p.setProcessEnvironment(Environment(home, false));
        p.start(command[0], command.mid(1));
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_TRUE(p.readAllStandardError().contains("xvfb-run"));
        EXPECT_TRUE(Children(p.processId()).empty());
    }
}

TEST(RunScript, BadAddressesInTheEnvironmentFallBackToTheDefaultsWithALine) {
    QTemporaryDir home;
    const std::pair<const char*, const char*> cases[] = {{"KT_DEVICE_PORT", "99999"},
                                                         {"KT_DEVICE_PORT", "80x"},
                                                         {"KT_DEVICE_PORT", "0"},
                                                         {"KT_DEVICE_IP", "300.1.2.3"}};
    for (const auto& [name, value] : cases) {
        SCOPED_TRACE(value);
        QProcessEnvironment env = Environment(home, true);
        env.insert(name, value);
        QProcess p;
        p.setProcessEnvironment(env);
        // The registration switch ends the program before any window.
        p.start(KT_PROGRAM, {"/RegServer"});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardError().contains(name));
    }
}

// Which moment of the start a stop signal meets.
enum class Moment { AtOnce, After100Ms, AfterStartUp };

TEST(RunScript, SigtermAtAnyMomentOfTheStartStopsTheProgramAndTheSimulatorTogether) {
    for (Moment moment : {Moment::AtOnce, Moment::After100Ms, Moment::AfterStartUp}) {
        SCOPED_TRACE(int(moment));
        QTemporaryDir home;
        QProcess script;
        script.setProcessEnvironment(Environment(home, true));
        script.start("bash", {KT_RUN_SCRIPT});
        ASSERT_TRUE(script.waitForStarted());
        // Its first child, the simulator, comes after the script took over
        // the stop signals.
        ASSERT_TRUE(WaitUntil([&] { return !Children(script.processId()).empty(); }))
            << script.readAllStandardError().toStdString();
        if (moment == Moment::After100Ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (moment == Moment::AfterStartUp) {
            // The program's view writes the settings once it is up.
            ASSERT_TRUE(WaitUntil([&] { return HasAnyFile(home.path() + "/config"); }))
                << script.readAllStandardError().toStdString();
        }
        const std::vector<pid_t> children = Children(script.processId());
        ::kill(pid_t(script.processId()), SIGTERM);
        ASSERT_TRUE(script.waitForFinished(60000));
        EXPECT_EQ(script.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        for (pid_t child : children)
            EXPECT_TRUE(WaitUntil([&] { return Gone(child); })) << child;
    }
}

// A second start with nothing changed goes straight to the window: one
// package query, and the build folder is configured only when it has none
// and built only when a source changed since the last build that succeeded.
// A build relinks only what an edit reaches: after an edit the simulator
// does not depend on, it stays older than that source for good, and that
// alone must not make every later start build again.
TEST(RunScript, StartsWithoutConfiguringOrBuildingWhatIsUpToDate) {
    QTemporaryDir home, build, bin;
    auto write = [](const QString& path, const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    };
    auto age = [](const QString& path) {
        QFile file(path);
        if (!file.exists())
            return;
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000), QFileDevice::FileModificationTime));
    };
    // Stand-ins that log their calls: the package query answers that all is
    // installed; the build relinks the program only (as after an edit in the
    // program's own code) and fails while a "fail" file exists; the
    // simulator listens until stopped, the program ends.
    const QString log = bin.filePath("calls.log");
    const QString fail = bin.filePath("fail");
    write(bin.filePath("dpkg-query"),
          "#!/bin/sh\necho dpkg-query >>" + log.toUtf8() +
              "\nfor p; do case $p in -*) ;; *) echo \"$p install ok installed\";; "
              "esac; done\n");
    write(bin.filePath("cmake"), "#!/bin/sh\necho cmake $1 >>" + log.toUtf8() +
                                     "\nif [ \"$1\" = --build ]; then\n  [ -e " + fail.toUtf8() +
                                     " ] && exit 1\n  touch \"$2/app/kavro-tune\"\nfi\nexit 0\n");
    QDir().mkpath(build.filePath("app"));
    QDir().mkpath(build.filePath("sim"));
    const QString simulator = build.filePath("sim/kt_simulator");
    const QString program = build.filePath("app/kavro-tune");
    write(
        simulator,
        "#!/bin/sh\necho 'listening on 127.0.0.1:45999'\ntrap 'exit 0' TERM\nwhile :; do sleep 0.1; done\n");
    write(program, "#!/bin/sh\nexit 0\n");

    // The starts in order, in one build folder.  "An edit" leaves every
    // source newer than what was built (and than any stamp of a build).
    struct Start {
        const char* what;
        bool cache;
        bool edit;
        bool buildFails;
        const char* calls;
    } const starts[] = {
        {"never configured", false, false, false, "dpkg-query\ncmake -S\ncmake --build\n"},
        {"up to date", true, false, false, "dpkg-query\n"},
        {"after an edit", true, true, false, "dpkg-query\ncmake --build\n"},
        {"the simulator older than the edit", true, false, false, "dpkg-query\n"},
        {"a build that fails", true, true, true, "dpkg-query\ncmake --build\n"},
        {"after the failed build", true, false, false, "dpkg-query\ncmake --build\n"},
        {"built again", true, false, false, "dpkg-query\n"},
    };
    for (const Start& c : starts) {
        SCOPED_TRACE(c.what);
        QFile::remove(log);
        QFile::remove(build.filePath("CMakeCache.txt"));
        if (c.cache)
            write(build.filePath("CMakeCache.txt"), "");
        if (c.edit) {
            for (const QString& built : {program, simulator, build.filePath("run-sh.stamp")})
                age(built);
        }
        if (c.buildFails)
            write(fail, "");
        else
            QFile::remove(fail);

        QProcessEnvironment env = Environment(home, true);
        env.remove("KT_NO_BUILD");
        env.insert("KT_BUILD_DIR", build.path());
        env.insert("PATH", bin.path() + ":" + env.value("PATH"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start("bash", {KT_RUN_SCRIPT});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), c.buildFails ? 1 : 0) << p.readAllStandardError().toStdString();
        QFile calls(log);
        ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
        EXPECT_EQ(calls.readAll().toStdString(), c.calls);
    }
}

} // namespace
