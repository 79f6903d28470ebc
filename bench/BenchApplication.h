#pragma once

// Windows need an application object; the offscreen platform needs no display.

#include "platform/sys/MessageQueue.h"

#include <QApplication>

// Starts the application on the first call, then runs firstTime (the shared
// objects a bench's windows expect); later calls do nothing.
inline void EnsureBenchApplication(void (*firstTime)() = nullptr) {
    static int argc = 1;
    static char name[] = "kt_bench";
    static char* argv[] = {name, nullptr};
    static const auto* app = [firstTime] {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        platform::AttachQueueToEventLoop();
        if (firstTime)
            firstTime();
        return a;
    }();
    (void)app;
}
