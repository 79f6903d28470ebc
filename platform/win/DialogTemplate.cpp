#include "platform/win/DialogTemplate.h"

#include "platform/res/Resources.h"
#include "platform/win/SpinButtonCtrl.h"
#include "platform/win/TabCtrl.h"
#include "platform/win/WinDefs.h"

#include <QDebug>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <map>

namespace platform::win {

namespace {

const std::map<QString, DWORD>& StyleNames() {
    static const std::map<QString, DWORD> names = {
        {"WS_POPUP", WS_POPUP},
        {"WS_CHILD", WS_CHILD},
        {"WS_VISIBLE", WS_VISIBLE},
        {"WS_DISABLED", WS_DISABLED},
        {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
        {"WS_CLIPCHILDREN", WS_CLIPCHILDREN},
        {"WS_CAPTION", WS_CAPTION},
        {"WS_BORDER", WS_BORDER},
        {"WS_SYSMENU", WS_SYSMENU},
        {"WS_GROUP", WS_GROUP},
        {"WS_TABSTOP", WS_TABSTOP},
        {"DS_SETFONT", DS_SETFONT},
        {"DS_MODALFRAME", DS_MODALFRAME},
        {"DS_CENTER", DS_CENTER},
        {"BS_PUSHBUTTON", BS_PUSHBUTTON},
        {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
        {"BS_CHECKBOX", BS_CHECKBOX},
        {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
        {"BS_RADIOBUTTON", BS_RADIOBUTTON},
        {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
        {"BS_GROUPBOX", BS_GROUPBOX},
        {"BS_OWNERDRAW", BS_OWNERDRAW},
        {"BS_NOTIFY", BS_NOTIFY},
        {"SS_LEFT", SS_LEFT},
        {"SS_CENTER", SS_CENTER},
        {"SS_RIGHT", SS_RIGHT},
        {"SS_NOTIFY", SS_NOTIFY},
        {"SS_CENTERIMAGE", SS_CENTERIMAGE},
        {"SS_BLACKFRAME", SS_BLACKFRAME},
        {"ES_LEFT", ES_LEFT},
        {"ES_CENTER", ES_CENTER},
        {"ES_RIGHT", ES_RIGHT},
        {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
        {"ES_READONLY", ES_READONLY},
        {"ES_NUMBER", ES_NUMBER},
        {"TCS_OWNERDRAWFIXED", TCS_OWNERDRAWFIXED},
        {"TCS_FIXEDWIDTH", TCS_FIXEDWIDTH},
        {"UDS_WRAP", UDS_WRAP},
        {"UDS_SETBUDDYINT", UDS_SETBUDDYINT},
        {"UDS_ALIGNRIGHT", UDS_ALIGNRIGHT},
        {"UDS_ALIGNLEFT", UDS_ALIGNLEFT},
        {"UDS_AUTOBUDDY", UDS_AUTOBUDDY},
        {"UDS_ARROWKEYS", UDS_ARROWKEYS},
        {"UDS_HORZ", UDS_HORZ},
        {"UDS_NOTHOUSANDS", UDS_NOTHOUSANDS},
    };
    return names;
}

std::optional<DWORD> ParseStyle(const QString& text) {
    DWORD style = 0;
    for (const QString& part : text.split('|', Qt::SkipEmptyParts)) {
        bool ok = false;
        const DWORD n = part.trimmed().toUInt(&ok, 0);
        if (ok) {
            style |= n;
            continue;
        }
        auto it = StyleNames().find(part.trimmed());
        if (it == StyleNames().end())
            return std::nullopt;
        style |= it->second;
    }
    return style;
}

// Words and "quoted strings" ("" inside a string is one quote).
QStringList Tokens(const QString& line) {
    QStringList out;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            QString s;
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        s += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                s += line[i++];
            }
            out << s;
            continue;
        }
        qsizetype j = i;
        while (j < line.size() && !line[j].isSpace())
            ++j;
        out << line.mid(i, j - i);
        i = j;
    }
    return out;
}

// The conversion to pixels multiplies template numbers and a window's
// backing image grows with its size, so numbers beyond any real dialog are
// refused rather than trusted.
constexpr int kMaxPosition = 4096;
constexpr int kMaxSize = 4096;
constexpr int kMaxPointSize = 144;

// Reads f[first..first+3] as x y cx cy; empty when they are numbers in range,
// else what is wrong.
QString ReadBox(const QStringList& f, qsizetype first, int& x, int& y, int& cx, int& cy) {
    int* const out[] = {&x, &y, &cx, &cy};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int n = f[first + i].toInt(&ok);
        const int low = i < 2 ? -kMaxPosition : 0;
        const int high = i < 2 ? kMaxPosition : kMaxSize;
        if (!ok || n < low || n > high)
            return QString("%1 is not a number from %2 to %3").arg(f[first + i]).arg(low).arg(high);
        *out[i] = n;
    }
    return {};
}

} // namespace

std::vector<CString> SplitTemplateLine(const CString& line) {
    std::vector<CString> out;
    for (const QString& t : Tokens(QString::fromStdString(line)))
        out.push_back(t.toStdString());
    return out;
}

std::optional<DialogTemplate> ParseDialogTemplate(const CString& source, CString* error) {
    DialogTemplate t;
    bool haveDialog = false;
    int lineNo = 0;
    auto fail = [&](const QString& why) -> std::optional<DialogTemplate> {
        if (error)
            *error = QString("line %1: %2").arg(lineNo).arg(why).toStdString();
        return std::nullopt;
    };
    for (const QString& raw : QString::fromUtf8(source.data(), qsizetype(source.size())).split('\n')) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = Tokens(line);
        const QString kw = f[0].toUpper();
        if (kw == "DIALOG") {
            if (f.size() < 6)
                return fail("DIALOG needs id x y cx cy");
            t.id = f[1].toUInt();
            if (const QString why = ReadBox(f, 2, t.x, t.y, t.cx, t.cy); !why.isEmpty())
                return fail(why);
            t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
            haveDialog = true;
        } else if (kw == "STYLE" && f.size() >= 2) {
            auto s = ParseStyle(f[1]);
            if (!s)
                return fail("unknown style " + f[1]);
            t.style = *s;
        } else if (kw == "CAPTION" && f.size() >= 2) {
            t.caption = f[1].toStdString();
        } else if (kw == "FONT" && f.size() >= 3) {
            bool ok = false;
            t.pointSize = f[1].toInt(&ok);
            if (!ok || t.pointSize < 1 || t.pointSize > kMaxPointSize)
                return fail(
                    QString("font size %1 is not a number from 1 to %2").arg(f[1]).arg(kMaxPointSize));
            t.face = f[2].toStdString();
        } else if (kw == "CONTROL") {
            if (f.size() < 8)
                return fail("CONTROL needs id class style x y cx cy");
            DialogItem item;
            item.id = f[1].toUInt();
            item.className = f[2].toStdString();
            auto s = ParseStyle(f[3]);
            if (!s)
                return fail("unknown style " + f[3]);
            item.style = *s | WS_CHILD;
            if (const QString why = ReadBox(f, 4, item.x, item.y, item.cx, item.cy); !why.isEmpty())
                return fail(why);
            if (f.size() > 8)
                item.text = f[8].toStdString();
            t.items.push_back(item);
        } else {
            return fail("unknown statement " + f[0]);
        }
    }
    if (!haveDialog)
        return fail("no DIALOG statement");
    return t;
}

std::optional<DialogTemplate> LoadDialogTemplate(UINT id) {
    auto source = platform::res::Provider().Source(id, "DIALOG");
    if (!source)
        return std::nullopt;
    CString error;
    auto parsed = ParseDialogTemplate(*source, &error);
    if (!parsed)
        qWarning("dialog template %u refused: %s", id, error.c_str());
    return parsed;
}

} // namespace platform::win
