#include "platform/win/QtFileDialog.h"

#include "platform/win/Window.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

namespace platform::win {

QtFileDialog::QtFileDialog() {
    m_previous = SetFileDialogHandler(this);
}

QtFileDialog::~QtFileDialog() {
    SetFileDialogHandler(m_previous);
}

QStringList QtFileDialog::NameFilters(const CString& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            break;
        filters << parts[i] + " (" + parts[i + 1] + ")";
    }
    return filters;
}

QString QtFileDialog::StartFolder(const CString& initialDir) {
    if (initialDir.empty())
        return {};
    QString folder = QDir::cleanPath(QString::fromStdString(initialDir));
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return folder;
}

bool QtFileDialog::Choose(const FileDialogRequest& request, CString& path) {
    QWidget* parent = QApplication::activeWindow();
    if (Window* owner = Window::From(request.owner); owner && owner->widget)
        parent = owner->widget->window();
    QFileDialog dialog(parent, QString(), StartFolder(request.initialDir));
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    if (request.open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                               : QFileDialog::AnyFile);
    } else {
        // A new name may be typed; replacing an existing file is asked first.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    }
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().constFirst().toStdString();
    return true;
}

} // namespace platform::win
