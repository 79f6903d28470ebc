#include "platform/win/WheelScrollLines.h"

#include <QGuiApplication>
#include <QStyleHints>

int GetWheelScrollLines() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QGuiApplication::styleHints()->wheelScrollLines();
    return 3;
}
