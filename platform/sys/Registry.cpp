#include "platform/sys/Registry.h"

#include <QSettings>
#include <QStringList>

#include <memory>
#include <mutex>

// A key lives in the settings file as a group holding a marker (a key may be
// empty and must still exist), its values under "v" and its subkeys under
// "k", so no value name can ever collide with a subkey or the marker.
struct RegKey {
    QString group;
};

namespace {

RegKey s_currentUser{QStringLiteral("HKEY_CURRENT_USER")};

const QString kMarker = QStringLiteral(".key");

std::mutex s_fileMutex;
std::string s_file;

std::unique_ptr<QSettings> OpenStore() {
    std::lock_guard lock(s_fileMutex);
    if (!s_file.empty())
        return std::make_unique<QSettings>(QString::fromStdString(s_file), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("KAVRO-TUNE"), QStringLiteral("registry"));
}

// The settings file separates groups with either slash; names are folded to
// lower case because the registry ignores case.  The unnamed value gets a
// name of its own, as an empty last component would vanish from the path.
QString EncodeName(const std::string& name) {
    if (name.empty())
        return QStringLiteral("@");
    QString encoded;
    for (QChar ch : QString::fromStdString(name).toLower()) {
        if (ch == u'%')
            encoded += QStringLiteral("%25");
        else if (ch == u'/')
            encoded += QStringLiteral("%2F");
        else if (ch == u'\\')
            encoded += QStringLiteral("%5C");
        else if (ch == u'@')
            encoded += QStringLiteral("%40");
        else
            encoded += ch;
    }
    return encoded;
}

// The group of every key from the first level below `parent` down to
// `subKey` itself; empty components (doubled backslashes) are skipped.
QStringList SubkeyLevels(const QString& parent, const std::string& subKey) {
    QStringList levels;
    QString group = parent;
    std::size_t start = 0;
    while (start <= subKey.size()) {
        std::size_t end = subKey.find('\\', start);
        if (end == std::string::npos)
            end = subKey.size();
        if (end > start) {
            group += QStringLiteral("/k/") + EncodeName(subKey.substr(start, end - start));
            levels.push_back(group);
        }
        start = end + 1;
    }
    return levels;
}

QString SubkeyGroup(const QString& parent, const std::string& subKey) {
    const QStringList levels = SubkeyLevels(parent, subKey);
    return levels.isEmpty() ? parent : levels.back();
}

QString ValueKey(const RegKey& key, const std::string& name) {
    return key.group + QStringLiteral("/v/") + EncodeName(name);
}

bool Exists(QSettings& store, const QString& group) {
    return group == s_currentUser.group || store.contains(group + u'/' + kMarker);
}

LONG Written(QSettings& store) {
    store.sync();
    return store.status() == QSettings::NoError ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

} // namespace

HKEY const HKEY_CURRENT_USER = &s_currentUser;

LONG RegOpenKey(HKEY parent, const CString& subKey, HKEY* result) {
    if (!parent || !result)
        return ERROR_INVALID_HANDLE;
    auto store = OpenStore();
    if (!Exists(*store, parent->group))
        return ERROR_KEY_DELETED;
    const QString group = SubkeyGroup(parent->group, subKey);
    if (!Exists(*store, group))
        return ERROR_FILE_NOT_FOUND;
    *result = new RegKey{group};
    return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY parent, const CString& subKey, HKEY* result) {
    if (!parent || !result)
        return ERROR_INVALID_HANDLE;
    auto store = OpenStore();
    if (!Exists(*store, parent->group))
        return ERROR_KEY_DELETED;
    // Every key on the way down exists afterwards, as each level is marked.
    const QStringList levels = SubkeyLevels(parent->group, subKey);
    for (const QString& level : levels) {
        if (!Exists(*store, level))
            store->setValue(level + u'/' + kMarker, true);
    }
    const LONG status = Written(*store);
    if (status == ERROR_SUCCESS)
        *result = new RegKey{levels.isEmpty() ? parent->group : levels.back()};
    return status;
}

LONG RegCloseKey(HKEY key) {
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (key != HKEY_CURRENT_USER)
        delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryStringValue(HKEY key, const CString& name, CString* value, DWORD bufferSize) {
    if (!key || !value)
        return ERROR_INVALID_HANDLE;
    auto store = OpenStore();
    if (!Exists(*store, key->group))
        return ERROR_KEY_DELETED;
    const QVariant stored = store->value(ValueKey(*key, name));
    if (!stored.isValid())
        return ERROR_FILE_NOT_FOUND;
    std::string text = stored.toString().toStdString();
    if (text.size() + 1 > bufferSize)
        return ERROR_MORE_DATA;
    *value = std::move(text);
    return ERROR_SUCCESS;
}

LONG RegSetStringValue(HKEY key, const CString& name, const CString& value) {
    if (!key)
        return ERROR_INVALID_HANDLE;
    auto store = OpenStore();
    if (!Exists(*store, key->group))
        return ERROR_KEY_DELETED;
    store->setValue(ValueKey(*key, name), QString::fromStdString(value));
    return Written(*store);
}

LONG RegDeleteValue(HKEY key, const CString& name) {
    if (!key)
        return ERROR_INVALID_HANDLE;
    auto store = OpenStore();
    if (!Exists(*store, key->group))
        return ERROR_KEY_DELETED;
    const QString valueKey = ValueKey(*key, name);
    if (!store->contains(valueKey))
        return ERROR_FILE_NOT_FOUND;
    store->remove(valueKey);
    return Written(*store);
}

LONG RegDeleteKey(HKEY parent, const CString& subKey) {
    if (!parent)
        return ERROR_INVALID_HANDLE;
    auto store = OpenStore();
    if (!Exists(*store, parent->group))
        return ERROR_KEY_DELETED;
    const QString group = SubkeyGroup(parent->group, subKey);
    if (group == parent->group || !Exists(*store, group))
        return ERROR_FILE_NOT_FOUND;
    store->beginGroup(group + QStringLiteral("/k"));
    const bool hasSubkeys = !store->childGroups().isEmpty();
    store->endGroup();
    if (hasSubkeys)
        return ERROR_ACCESS_DENIED;
    store->remove(group);
    return Written(*store);
}

namespace platform {

void SetRegistryFile(const std::string& file) {
    std::lock_guard lock(s_fileMutex);
    s_file = file;
}

} // namespace platform
