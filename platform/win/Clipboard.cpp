#include "platform/win/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <atomic>

namespace platform::win {

namespace {

class SystemClipboard final : public Clipboard {
public:
    void SetText(const CString& text) override {
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            app->clipboard()->setText(QString::fromStdString(text));
    }
    CString Text() const override {
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return app->clipboard()->text().toStdString();
        return {};
    }
};

std::atomic<Clipboard*> s_installed{nullptr};

} // namespace

Clipboard* InstallClipboard(Clipboard* clipboard) {
    return s_installed.exchange(clipboard);
}

Clipboard& CurrentClipboard() {
    static SystemClipboard system;
    Clipboard* c = s_installed.load();
    return c ? *c : system;
}

} // namespace platform::win
