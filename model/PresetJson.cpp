#include "model/PresetJson.h"

#include "platform/sys/Gbk.h"
#include "platform/sys/SaveFile.h"

#include <cjson/cJSON.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>

namespace {

// The processor keeps a locked preset's output records XORed with this key.
constexpr BYTE kLockKey = 0x5E;
// Bytes of output record 0 (its name block) that carry the preset lock.
constexpr int kLockMark = 288;
constexpr int kLockKeep = 289;
constexpr int kLockPassword = 290;
constexpr int kLockPasswordLength = 6;
constexpr int kPasswordFieldSize = 16;
constexpr BYTE kLocked = 0x21;
constexpr BYTE kUnlocked = 0x20;

// The files carry only the first 14 blocks of a music record and the first
// 50 sound-delay bytes.
constexpr int kMusicSavedSize = 112;
constexpr int kSoundDelaySavedSize = 50;
constexpr int kAllPresetsGroups = 1 + kPresetCount;

constexpr const char* kCompanyKeys[PresetFileInfo::kCompanyKeyCount] = {
    "company_brand", "company_briefing_en", "company_briefing_zh", "company_contacts", "company_name",
    "company_qq",    "company_tel",         "company_web",         "company_weixin",
};

enum class Kind { Text, Flag, Number };
struct DataKey {
    const char* key;
    Kind kind;
    int slot;
};
using Info = PresetFileInfo;
constexpr DataKey kDataKeys[] = {
    {"data_android_version", Kind::Text, Info::AndroidVersion},
    {"data_car_brand", Kind::Text, Info::CarBrand},
    {"data_car_type", Kind::Text, Info::CarType},
    {"data_eff_briefing", Kind::Text, Info::EffBriefing},
    {"data_encryption_bool", Kind::Flag, Info::EncryptionFlag},
    {"data_encryption_byte", Kind::Number, Info::EncryptionByte},
    {"data_group_name", Kind::Text, Info::GroupName},
    {"data_group_num", Kind::Number, Info::GroupNumber},
    {"data_head_data", Kind::Number, Info::HeadData},
    {"data_ios_version", Kind::Text, Info::IosVersion},
    {"data_json_version", Kind::Text, Info::JsonVersion},
    {"data_machine_type", Kind::Text, Info::MachineType},
    {"data_mcu_version", Kind::Text, Info::McuVersion},
    {"data_pc_version", Kind::Text, Info::PcVersion},
    {"data_upload_time", Kind::Text, Info::UploadTime},
    {"data_user_info", Kind::Text, Info::UserInfo},
    {"data_user_mailbox", Kind::Text, Info::UserMailbox},
    {"data_user_name", Kind::Text, Info::UserName},
    {"data_user_tel", Kind::Text, Info::UserTel},
};
static_assert(std::size(kDataKeys) == Info::kDataTextCount + Info::kDataNumberCount);

PresetFileInfo DefaultInfo() {
    PresetFileInfo info;
    info.maker = {"QZV",
                  "QZV designs digital sound processors for cars.",
                  "QZV 设计汽车音响数字处理器。",
                  "Li Wei",
                  "启智声学科技有限公司",
                  "800012345",
                  "020-8888-0000",
                  "www.qzv-audio.example",
                  "QZVAUDIO"};
    info.client = {"19", "BD",           "示例客户公司",    "000-00000000", "示例客户公司",
                   "QQ", "000-00000000", "www.example.com", "WEIXIN"};
    auto& t = info.dataTexts;
    t[Info::AndroidVersion] = "ANVX-AV1.01";
    t[Info::CarBrand] = "2016-02-30";
    t[Info::CarType] = "示例车型";
    t[Info::EffBriefing] = "木吉他";
    t[Info::GroupName] = "Share";
    t[Info::IosVersion] = "IOS-VX-V1.00";
    t[Info::JsonVersion] = "QZV-JSON_V1.00";
    t[Info::MachineType] = g_strMachineType;
    t[Info::McuVersion] = "VX530-V1.00";
    t[Info::PcVersion] = "RM530-V1.01";
    t[Info::UserInfo] = "QZ";
    t[Info::UserMailbox] = "";
    t[Info::UserName] = "Zhang Wen";
    t[Info::UserTel] = "13800000000";
    info.dataNumbers = {0, 0, 0, 94};
    return info;
}

CString LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[80];
    std::snprintf(text, sizeof text, "%4d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

struct TreeDeleter {
    void operator()(cJSON* tree) const { cJSON_Delete(tree); }
};
using Tree = std::unique_ptr<cJSON, TreeDeleter>;

// ---- Writing -----------------------------------------------------------------------------

void AddText(cJSON* object, const char* key, const CString& text) {
    // Files hold the program's 8-bit texts; a text GBK cannot hold goes as it is.
    cJSON_AddItemToObject(object, key, cJSON_CreateString(platform::Utf8ToGbk(text).value_or(text).c_str()));
}

// A number array as one item of ready text, in the library's formatting:
// thousands of number items would cost more to make, print and free than
// the rest of a file.
template <typename T> cJSON* NumberArray(const T* values, std::size_t count) {
    std::string text = "[";
    text.reserve(count * 5 + 2);
    char number[16];
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += ", ";
        const auto [end, ec] = std::to_chars(number, number + sizeof number, int(values[i]));
        (void)ec;
        text.append(number, end);
    }
    text += ']';
    return cJSON_CreateRaw(text.c_str());
}

cJSON* ByteArray(const BYTE* bytes, std::size_t count) {
    return NumberArray(bytes, count);
}

cJSON* ByteArray(const std::vector<BYTE>& bytes) {
    return ByteArray(bytes.data(), bytes.size());
}

cJSON* IntArray(const std::array<int, 16>& values) {
    return NumberArray(values.data(), values.size());
}

cJSON* CompanyBlock(const std::array<CString, Info::kCompanyKeyCount>& texts) {
    cJSON* block = cJSON_CreateObject();
    for (int i = 0; i < Info::kCompanyKeyCount; ++i)
        AddText(block, kCompanyKeys[i], texts[i]);
    return block;
}

cJSON* DataBlock(const PresetFileInfo& info) {
    cJSON* block = cJSON_CreateObject();
    for (const DataKey& key : kDataKeys) {
        switch (key.kind) {
        case Kind::Text:
            AddText(block, key.key, info.dataTexts[key.slot]);
            break;
        case Kind::Flag:
            // Written as false always; the lock lives in the output records.
            cJSON_AddFalseToObject(block, key.key);
            break;
        case Kind::Number:
            cJSON_AddNumberToObject(block, key.key, info.dataNumbers[key.slot]);
            break;
        }
    }
    return block;
}

void AddHead(cJSON* root, const PresetFileInfo& info) {
    cJSON_AddItemToObject(root, "qzv", CompanyBlock(info.maker));
    cJSON_AddItemToObject(root, "client", CompanyBlock(info.client));
    cJSON_AddItemToObject(root, "data_info", DataBlock(info));
}

// ---- Reading -----------------------------------------------------------------------------

bool ReadAll(const CString& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// The text must begin with one JSON object.  Whatever follows it is not
// looked at: files written by other tools may end in a terminator byte.
Tree ParseWhole(const std::string& text) {
    Tree root(cJSON_ParseWithLengthOpts(text.c_str(), text.size(), nullptr, false));
    if (!root || !cJSON_IsObject(root.get()))
        return nullptr;
    return root;
}

const cJSON* Object(const cJSON* parent, const char* key) {
    const cJSON* item = cJSON_GetObjectItem(parent, key);
    return cJSON_IsObject(item) ? item : nullptr;
}

// A string item in UTF-8.  Absent: true and `text` unchanged; any other type: false.
bool ReadText(const cJSON* parent, const char* key, CString& text) {
    const cJSON* item = cJSON_GetObjectItem(parent, key);
    if (!item)
        return true;
    if (!cJSON_IsString(item) || !item->valuestring)
        return false;
    const auto* bytes = reinterpret_cast<const BYTE*>(item->valuestring);
    text = platform::GbkFieldToUtf8(bytes, std::strlen(item->valuestring));
    return true;
}

// The low 8 bits of at most `limit` items of a byte array.  Every item read
// must be a number; items after `limit` are not looked at.
bool ReadBytes(const cJSON* array, std::size_t limit, std::vector<BYTE>& bytes) {
    if (!cJSON_IsArray(array))
        return false;
    bytes.clear();
    for (const cJSON* item = array->child; item && bytes.size() < limit; item = item->next) {
        if (!cJSON_IsNumber(item))
            return false;
        bytes.push_back(BYTE(unsigned(item->valueint) & 0xFF));
    }
    return true;
}

// An array of byte arrays: the first `count` arrays, at most `limit` bytes each.
bool ReadByteArrays(const cJSON* array, int count, std::size_t limit, std::vector<std::vector<BYTE>>& out) {
    if (!cJSON_IsArray(array))
        return false;
    out.clear();
    for (const cJSON* item = array->child; item && int(out.size()) < count; item = item->next) {
        if (!ReadBytes(item, limit, out.emplace_back()))
            return false;
    }
    return true;
}

bool ReadCompany(const cJSON* block, std::array<CString, Info::kCompanyKeyCount>& texts) {
    for (int i = 0; i < Info::kCompanyKeyCount; ++i) {
        if (!ReadText(block, kCompanyKeys[i], texts[i]))
            return false;
    }
    return true;
}

bool ReadData(const cJSON* block, PresetFileInfo& info) {
    for (const DataKey& key : kDataKeys) {
        if (key.kind == Kind::Text) {
            if (!ReadText(block, key.key, info.dataTexts[key.slot]))
                return false;
            continue;
        }
        const cJSON* item = cJSON_GetObjectItem(block, key.key);
        if (!item)
            continue;
        if (key.kind == Kind::Flag) {
            if (!cJSON_IsBool(item))
                return false;
            info.dataNumbers[key.slot] = cJSON_IsTrue(item) ? 1 : 0;
        } else {
            if (!cJSON_IsNumber(item))
                return false;
            info.dataNumbers[key.slot] = item->valueint;
        }
    }
    return true;
}

bool TextEquals(const cJSON* parent, const char* key, const CString& expected) {
    const cJSON* item = cJSON_GetObjectItem(parent, key);
    return cJSON_IsString(item) && item->valuestring &&
           platform::GbkFieldToUtf8(reinterpret_cast<const BYTE*>(item->valuestring),
                                    std::strlen(item->valuestring)) == expected;
}

// A missing or empty array leaves the field as it is.
void CopyInto(BYTE* field, std::size_t size, const std::vector<BYTE>& bytes) {
    std::copy_n(bytes.begin(), std::min(size, bytes.size()), field);
}

} // namespace

// ---- The bytes of a file, between the memories and the tree ------------------------------

struct CPresetJson::Group {
    std::vector<BYTE> name;
    std::vector<std::vector<BYTE>> music;
    std::vector<std::vector<BYTE>> output;
};

struct CPresetJson::Settings {
    std::vector<BYTE> currentPreset;
    std::vector<BYTE> inputSettings;
    std::vector<BYTE> soundDelay;
    std::vector<BYTE> systemData;
    std::vector<BYTE> speakerTypes;
};

struct CPresetJson::Parsed {
    PresetFileInfo info;
    Settings settings;
    std::vector<Group> groups;
};

namespace {

std::vector<BYTE> Bytes(const BYTE* from, std::size_t count) {
    return std::vector<BYTE>(from, from + count);
}

// The group of a stored image, as it is.
template <typename GroupT> void TakeGroup(const BYTE* image, GroupT& group) {
    group.name = Bytes(image + kPresetNameOffset, kPresetNameSize);
    group.music.clear();
    for (int c = 0; c < kMusicInputCount; ++c)
        group.music.push_back(Bytes(image + MusicRecordOffset(c), kMusicSavedSize));
    group.output.clear();
    for (int c = 0; c < kOutputCount; ++c)
        group.output.push_back(Bytes(image + OutputRecordOffset(c), kOutputRecordSize));
}

// The lock bytes of output record 0 go into the live image itself: the mark,
// and while locked the password's first six bytes.  Called under g_csModel.
void WriteLockBytes(BYTE* liveImage) {
    BYTE* record = liveImage + OutputRecordOffset(0);
    if (g_bPresetLocked) {
        // The password is a zero-padded text field, but only six of its
        // bytes belong to this block: the rest would run into output 1.
        BYTE field[kPasswordFieldSize] = {};
        platform::StoreGbkField(g_strPresetPassword, field, sizeof field);
        std::memcpy(record + kLockPassword, field, kLockPasswordLength);
        record[kLockMark] = kLocked;
    } else {
        record[kLockMark] = kUnlocked;
    }
}

// A locked preset's output records as the file carries them: every byte
// XORed with the key except the mark and the byte after it.
void ScrambleOutputs(std::vector<std::vector<BYTE>>& output) {
    for (std::size_t c = 0; c < output.size(); ++c) {
        for (std::size_t i = 0; i < output[c].size(); ++i) {
            if (c == 0 && (i == kLockMark || i == kLockKeep))
                continue;
            output[c][i] ^= kLockKey;
        }
    }
}

} // namespace

CPresetJson::CPresetJson() : m_Info(DefaultInfo()), m_UploadTime(LocalTimeText) {}

void CPresetJson::Scramble(std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(BYTE(bytes[i]) ^ BYTE(i & 0xFF));
}

void CPresetJson::NextUploadTime() {
    m_Info.dataTexts[Info::UploadTime] = m_UploadTime();
}

cJSON* CPresetJson::BuildGroup(const Group& group) {
    cJSON* object = cJSON_CreateObject();
    cJSON_AddItemToObject(object, "group_name", ByteArray(group.name));
    cJSON* music = cJSON_CreateObject();
    cJSON* musicArrays = cJSON_AddArrayToObject(music, "music");
    for (const auto& record : group.music)
        cJSON_AddItemToArray(musicArrays, ByteArray(record));
    cJSON_AddItemToObject(object, "music", music);
    cJSON* output = cJSON_CreateObject();
    cJSON* outputArrays = cJSON_AddArrayToObject(output, "output");
    for (const auto& record : group.output)
        cJSON_AddItemToArray(outputArrays, ByteArray(record));
    cJSON_AddItemToObject(object, "output", output);
    return object;
}

namespace {

template <typename SettingsT> cJSON* SystemObject(const SettingsT& settings, const PresetFileInfo& info) {
    cJSON* system = cJSON_CreateObject();
    cJSON_AddItemToObject(system, "cur_password_data", ByteArray(settings.currentPreset));
    cJSON_AddItemToObject(system, "eff_group_name", IntArray(info.effGroupName));
    cJSON_AddItemToObject(system, "out_led", IntArray(info.outLed));
    cJSON_AddItemToObject(system, "pc_source_set", ByteArray(settings.inputSettings));
    cJSON_AddItemToObject(system, "sound_delay_field", ByteArray(settings.soundDelay));
    cJSON_AddItemToObject(system, "system_data", ByteArray(settings.systemData));
    cJSON_AddItemToObject(system, "system_group_name", IntArray(info.systemGroupName));
    cJSON_AddItemToObject(system, "system_spk_type", ByteArray(settings.speakerTypes));
    return system;
}

// The settings as the files carry them.  Called under g_csModel.
template <typename SettingsT> void TakeSettings(const DeviceSettingsArea& area, SettingsT& settings) {
    settings.currentPreset = Bytes(area.CurrentPreset, sizeof area.CurrentPreset);
    settings.inputSettings = Bytes(area.InputSettings, sizeof area.InputSettings);
    settings.soundDelay = Bytes(area.SoundDelay, kSoundDelaySavedSize);
    settings.systemData = Bytes(area.SystemData, sizeof area.SystemData);
    settings.speakerTypes = Bytes(area.SpeakerTypes, sizeof area.SpeakerTypes);
}

} // namespace

cJSON* CPresetJson::BuildPresetTree(const Settings& settings, const Group& live) const {
    cJSON* root = cJSON_CreateObject();
    AddHead(root, m_Info);
    cJSON* data = BuildGroup(live);
    cJSON_AddItemToObject(data, "system", SystemObject(settings, m_Info));
    cJSON_AddItemToObject(root, "data", data);
    cJSON_AddStringToObject(root, "fileType", "single");
    return root;
}

cJSON* CPresetJson::BuildAllPresetsTree(const Settings& settings, const std::vector<Group>& groups) const {
    cJSON* root = cJSON_CreateObject();
    AddHead(root, m_Info);
    cJSON_AddStringToObject(root, "fileType", "complete");
    cJSON_AddItemToObject(root, "system", SystemObject(settings, m_Info));
    cJSON* data = cJSON_AddArrayToObject(root, "data");
    for (const Group& group : groups)
        cJSON_AddItemToArray(data, BuildGroup(group));
    return root;
}

namespace {

// The formatted text of a tree, character for character as the JSON
// library prints it (tabs, ", " between array items), but written straight
// into one string: the library formats every number through the floating
// point printer and reads it back, which took most of a file's writing time.
class TreePrinter {
public:
    std::string Print(const cJSON* item) {
        m_out.reserve(1 << 20);
        Value(item);
        return std::move(m_out);
    }

private:
    void Value(const cJSON* item) {
        switch (item->type & 0xFF) {
        case cJSON_False:
            m_out += "false";
            break;
        case cJSON_True:
            m_out += "true";
            break;
        case cJSON_NULL:
            m_out += "null";
            break;
        case cJSON_Number:
            Number(item);
            break;
        case cJSON_String:
            Text(item->valuestring);
            break;
        case cJSON_Array:
            Array(item);
            break;
        case cJSON_Object:
            Object(item);
            break;
        case cJSON_Raw:
            m_out += item->valuestring ? item->valuestring : "";
            break;
        default:
            Library(item);
            break;
        }
    }
    void Number(const cJSON* item) {
        const double d = item->valuedouble;
        if (d >= -2147483648.0 && d <= 2147483647.0 && d == double(int(d)) && !(d == 0 && std::signbit(d))) {
            char text[16];
            const auto [end, ec] = std::to_chars(text, text + sizeof text, int(d));
            (void)ec;
            m_out.append(text, end);
        } else {
            Library(item);
        }
    }
    // Anything but a whole number as the library writes it.
    void Library(const cJSON* item) {
        cJSON copy = *item;
        copy.next = copy.prev = copy.child = nullptr;
        copy.string = nullptr;
        char* printed = cJSON_PrintUnformatted(&copy);
        if (printed)
            m_out += printed;
        cJSON_free(printed);
    }
    void Text(const char* text) {
        m_out += '"';
        for (const char* p = text ? text : ""; *p; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '\b':
                m_out += "\\b";
                break;
            case '\f':
                m_out += "\\f";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            default:
                if (c < 32) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    m_out += escaped;
                } else {
                    m_out += char(c);
                }
            }
        }
        m_out += '"';
    }
    void Array(const cJSON* item) {
        m_out += '[';
        ++m_depth;
        for (const cJSON* child = item->child; child; child = child->next) {
            Value(child);
            if (child->next)
                m_out += ", ";
        }
        m_out += ']';
        --m_depth;
    }
    void Object(const cJSON* item) {
        m_out += "{\n";
        ++m_depth;
        for (const cJSON* child = item->child; child; child = child->next) {
            m_out.append(std::size_t(m_depth), '\t');
            Text(child->string);
            m_out += ":\t";
            Value(child);
            if (child->next)
                m_out += ',';
            m_out += '\n';
        }
        m_out.append(std::size_t(m_depth - 1), '\t');
        m_out += '}';
        --m_depth;
    }

    std::string m_out;
    int m_depth = 0;
};

// Prints, scrambles and writes; true only when every byte reached the file.
// A file that was there stays whole until the new one is.
bool WriteTree(cJSON* tree, const CString& path) {
    Tree owner(tree);
    std::string bytes = TreePrinter().Print(tree);
    CPresetJson::Scramble(bytes);
    return platform::SaveFileWhole(path, bytes);
}

} // namespace

bool CPresetJson::WritePresetFile(DeviceSettingsArea& settings, BYTE* liveImage, const CString& path) {
    Settings copy;
    Group live;
    bool locked = false;
    {
        std::lock_guard lock(g_csModel);
        TakeSettings(settings, copy);
        WriteLockBytes(liveImage);
        TakeGroup(liveImage, live);
        locked = g_bPresetLocked != 0;
    }
    if (locked)
        ScrambleOutputs(live.output);
    NextUploadTime();
    return WriteTree(BuildPresetTree(copy, live), path);
}

bool CPresetJson::WriteAllPresetsFile(const CString& path) {
    Settings copy;
    std::vector<Group> groups(kAllPresetsGroups);
    bool locked = false;
    {
        std::lock_guard lock(g_csModel);
        TakeSettings(g_DeviceSettings, copy);
        WriteLockBytes(g_DeviceImage);
        TakeGroup(g_DeviceImage, groups[0]);
        for (int p = 1; p <= kPresetCount; ++p)
            TakeGroup(g_PresetImages[p - 1], groups[p]);
        locked = g_bPresetLocked != 0;
    }
    // Stored presets are never scrambled.
    if (locked)
        ScrambleOutputs(groups[0].output);
    NextUploadTime();
    return WriteTree(BuildAllPresetsTree(copy, groups), path);
}

// ---- Reading -----------------------------------------------------------------------------

bool CPresetJson::ParseGroup(const cJSON* group, Group& out) {
    if (!cJSON_IsObject(group))
        return false;
    if (!ReadBytes(cJSON_GetObjectItem(group, "group_name"), kPresetNameSize, out.name))
        return false;
    const cJSON* music = Object(group, "music");
    if (!music ||
        !ReadByteArrays(cJSON_GetObjectItem(music, "music"), kMusicInputCount, kMusicRecordSize, out.music))
        return false;
    const cJSON* output = Object(group, "output");
    return output &&
           ReadByteArrays(cJSON_GetObjectItem(output, "output"), kOutputCount, kOutputRecordSize, out.output);
}

namespace {

// The information blocks go into `info`; the acceptance tests look at the
// file's own values, so a file that lacks them is refused.
bool ParseHead(const cJSON* root, PresetFileInfo& info, const char* fileType) {
    const cJSON* maker = Object(root, "qzv");
    const cJSON* client = Object(root, "client");
    const cJSON* data = Object(root, "data_info");
    if (!maker || !client || !data)
        return false;
    if (!ReadCompany(maker, info.maker) || !ReadCompany(client, info.client) || !ReadData(data, info) ||
        !ReadText(root, "fileType", info.fileType))
        return false;
    return TextEquals(client, kCompanyKeys[Info::kBrand], info.requiredBrand) &&
           TextEquals(data, "data_machine_type", g_strMachineType) && TextEquals(root, "fileType", fileType);
}

// A missing array leaves its field as it is; a present one must hold numbers.
template <typename SettingsT> bool ParseSystem(const cJSON* system, SettingsT& settings) {
    if (!system)
        return false;
    const DeviceSettingsArea& area = g_DeviceSettings;
    const struct {
        const char* key;
        std::size_t size;
        std::vector<BYTE>* bytes;
    } fields[] = {
        {"cur_password_data", sizeof area.CurrentPreset, &settings.currentPreset},
        {"pc_source_set", sizeof area.InputSettings, &settings.inputSettings},
        {"sound_delay_field", sizeof area.SoundDelay, &settings.soundDelay},
        {"system_data", sizeof area.SystemData, &settings.systemData},
        {"system_spk_type", sizeof area.SpeakerTypes, &settings.speakerTypes},
    };
    for (const auto& field : fields) {
        const cJSON* array = cJSON_GetObjectItem(system, field.key);
        if (array && !ReadBytes(array, field.size, *field.bytes))
            return false;
    }
    return true;
}

} // namespace

bool CPresetJson::ParsePresetTree(const cJSON* root, Parsed& parsed) const {
    if (!ParseHead(root, parsed.info, "single"))
        return false;
    const cJSON* data = Object(root, "data");
    if (!data || !ParseGroup(data, parsed.groups.emplace_back()))
        return false;
    return ParseSystem(Object(data, "system"), parsed.settings);
}

bool CPresetJson::ParseAllPresetsTree(const cJSON* root, Parsed& parsed) const {
    if (!ParseHead(root, parsed.info, "complete") || !ParseSystem(Object(root, "system"), parsed.settings))
        return false;
    const cJSON* data = cJSON_GetObjectItem(root, "data");
    if (!cJSON_IsArray(data))
        return false;
    for (const cJSON* group = data->child; group && parsed.groups.size() < kAllPresetsGroups;
         group = group->next) {
        if (!ParseGroup(group, parsed.groups.emplace_back()))
            return false;
    }
    return true;
}

namespace {

template <typename SettingsT> void ApplySettings(const SettingsT& from, DeviceSettingsArea& to) {
    CopyInto(to.CurrentPreset, sizeof to.CurrentPreset, from.currentPreset);
    CopyInto(to.InputSettings, sizeof to.InputSettings, from.inputSettings);
    CopyInto(to.SoundDelay, sizeof to.SoundDelay, from.soundDelay);
    CopyInto(to.SystemData, sizeof to.SystemData, from.systemData);
    CopyInto(to.SpeakerTypes, sizeof to.SpeakerTypes, from.speakerTypes);
}

// Only the group's own byte 288 of output record 0 decides the lock.
template <typename GroupT> bool IsLockedGroup(const GroupT& group) {
    return !group.output.empty() && group.output[0].size() > std::size_t(kLockMark) &&
           group.output[0][kLockMark] == kLocked;
}

template <typename GroupT> void ApplyGroup(GroupT group, BYTE* image, bool liveLockStep) {
    if (liveLockStep && IsLockedGroup(group))
        ScrambleOutputs(group.output);
    CopyInto(image + kPresetNameOffset, kPresetNameSize, group.name);
    for (std::size_t c = 0; c < group.music.size(); ++c)
        CopyInto(image + MusicRecordOffset(int(c)), kMusicRecordSize, group.music[c]);
    for (std::size_t c = 0; c < group.output.size(); ++c)
        CopyInto(image + OutputRecordOffset(int(c)), kOutputRecordSize, group.output[c]);
}

bool ReadTree(const CString& path, Tree& root) {
    std::string text;
    if (!ReadAll(path, text))
        return false;
    CPresetJson::Scramble(text);
    root = ParseWhole(text);
    return root != nullptr;
}

} // namespace

bool CPresetJson::ReadPresetFile(DeviceSettingsArea& settings, BYTE* liveImage, const CString& path) {
    Tree root;
    Parsed parsed{m_Info, {}, {}};
    if (!ReadTree(path, root) || !ParsePresetTree(root.get(), parsed))
        return false;
    {
        std::lock_guard lock(g_csModel);
        ApplySettings(parsed.settings, settings);
        ApplyGroup(parsed.groups[0], liveImage, true);
        g_bPresetLocked = IsLockedGroup(parsed.groups[0]) ? 1 : 0;
    }
    m_Info = std::move(parsed.info);
    return true;
}

bool CPresetJson::ReadAllPresetsFile(const CString& path) {
    Tree root;
    Parsed parsed{m_Info, {}, {}};
    if (!ReadTree(path, root) || !ParseAllPresetsTree(root.get(), parsed))
        return false;
    {
        std::lock_guard lock(g_csModel);
        ApplySettings(parsed.settings, g_DeviceSettings);
        for (std::size_t g = 0; g < parsed.groups.size(); ++g)
            ApplyGroup(parsed.groups[g], g == 0 ? g_DeviceImage : g_PresetImages[g - 1], g == 0);
        if (!parsed.groups.empty())
            g_bPresetLocked = IsLockedGroup(parsed.groups[0]) ? 1 : 0;
    }
    m_Info = std::move(parsed.info);
    return true;
}
