// The program and its run script as a user starts them: without a display
// both say how to run them and start nothing; bad settings in the
// environment give a line on stderr; SIGTERM to the script stops the
// program and the simulated processor and leaves no process behind.

#include <QDateTime>
#include <QDir>
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

TEST(RunScript, SigtermStopsTheProgramAndTheSimulatorTogether) {
    QTemporaryDir home;
    QProcess script;
    script.setProcessEnvironment(Environment(home, true));
    script.start("bash", {KT_RUN_SCRIPT});
    ASSERT_TRUE(script.waitForStarted());
    std::vector<pid_t> children;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        children = Children(script.processId());
        if (children.size() == 2)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(children.size(), 2u) << script.readAllStandardError().toStdString();
    // Let the program get past the Qt application's start, where a stop
    // signal still ends it the default way.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ::kill(pid_t(script.processId()), SIGTERM);
    ASSERT_TRUE(script.waitForFinished(30000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    for (pid_t child : children)
        EXPECT_TRUE(Gone(child)) << child;
}

// A second start with nothing changed goes straight to the window: one
// package query, and the build folder is configured only when it has none
// and built only when a source is newer than the program.
TEST(RunScript, StartsWithoutConfiguringOrBuildingWhatIsUpToDate) {
    QTemporaryDir home, build, bin;
    auto write = [](const QString& path, const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    };
    // Stand-ins that log their calls: the package query answers that all is
    // installed, the simulator listens until stopped, the program ends.
    const QString log = bin.filePath("calls.log");
    write(bin.filePath("dpkg-query"),
          "#!/bin/sh\necho dpkg-query >>" + log.toUtf8() +
              "\nfor p; do case $p in -*) ;; *) echo \"$p install ok installed\";; "
              "esac; done\n");
    write(bin.filePath("cmake"), "#!/bin/sh\necho cmake $1 >>" + log.toUtf8() + "\n");
    QDir().mkpath(build.filePath("app"));
    QDir().mkpath(build.filePath("sim"));
    write(
        build.filePath("sim/kt_simulator"),
        "#!/bin/sh\necho 'listening on 127.0.0.1:45999'\ntrap 'exit 0' TERM\nwhile :; do sleep 0.1; done\n");
    write(build.filePath("app/kavro-tune"), "#!/bin/sh\nexit 0\n");

    struct Case {
        const char* what;
        bool cache;
        bool oldProgram;
        const char* calls;
    } const cases[] = {
        {"up to date", true, false, "dpkg-query\n"},
        {"a source is newer", true, true, "dpkg-query\ncmake --build\n"},
        {"never configured", false, true, "dpkg-query\ncmake -S\ncmake --build\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(log);
        QFile::remove(build.filePath("CMakeCache.txt"));
        if (c.cache)
            write(build.filePath("CMakeCache.txt"), "");
        QFile program(build.filePath("app/kavro-tune"));
        ASSERT_TRUE(program.open(QIODevice::ReadWrite));
        const QDateTime when =
            c.oldProgram ? QDateTime::fromSecsSinceEpoch(1000000000) : QDateTime::currentDateTime();
        ASSERT_TRUE(program.setFileTime(when, QFileDevice::FileModificationTime));
        program.close();

        QProcessEnvironment env = Environment(home, true);
        env.remove("KT_NO_BUILD");
        env.insert("KT_BUILD_DIR", build.path());
        env.insert("PATH", bin.path() + ":" + env.value("PATH"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start("bash", {KT_RUN_SCRIPT});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        QFile calls(log);
        ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
        EXPECT_EQ(calls.readAll().toStdString(), c.calls);
    }
}

} // namespace
