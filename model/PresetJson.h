#pragma once

// The preset files: one preset (the live image and the device settings) or
// all presets (the settings, the live image and the six stored images), kept
// as formatted JSON text whose byte i is stored XOR (i mod 256).  Images
// travel as arrays of byte values; a locked live preset travels with its
// output records XORed with the lock key and its password inside.
//
// A read parses and checks the whole file before it changes anything: a
// refused file leaves the images, the settings, the lock flag and the
// information record as they were.  Writers build the file from a copy of
// the images taken under g_csModel; only the lock bytes of output record 0
// are written back into the live image.
//
// All operations run on the GUI thread; they take g_csModel only while they
// copy from or into the shared memories.

#include "model/Globals.h"
#include "platform/sys/WinTypes.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

struct cJSON;

// What the files say about their maker, their client and their data.  Texts
// are UTF-8 here and GBK in the files.
struct PresetFileInfo {
    static constexpr int kCompanyKeyCount = 9;
    static constexpr int kDataTextCount = 15;
    static constexpr int kDataNumberCount = 4;

    // Slots of the data block's texts and numbers.
    enum DataText {
        AndroidVersion,
        CarBrand,
        CarType,
        EffBriefing,
        GroupName,
        IosVersion,
        JsonVersion,
        MachineType,
        McuVersion,
        PcVersion,
        UploadTime,
        UserInfo,
        UserMailbox,
        UserName,
        UserTel,
    };
    enum DataNumber { EncryptionFlag, EncryptionByte, GroupNumber, HeadData };
    // Slot of "company_brand" in the maker and client blocks.
    static constexpr int kBrand = 0;

    std::array<CString, kCompanyKeyCount> maker;
    std::array<CString, kCompanyKeyCount> client;
    std::array<CString, kDataTextCount> dataTexts;
    std::array<int, kDataNumberCount> dataNumbers{};
    CString fileType;
    std::array<int, 16> effGroupName{};
    std::array<int, 16> outLed{};
    std::array<int, 16> systemGroupName{};
    int blockSize = 32768;
    CString requiredBrand = "19";

    bool operator==(const PresetFileInfo&) const = default;
};

class CPresetJson {
public:
    CPresetJson();

    CPresetJson(const CPresetJson&) = delete;
    CPresetJson& operator=(const CPresetJson&) = delete;

    // The caller packs the model into the live image first.
    bool WritePresetFile(DeviceSettingsArea& settings, BYTE* liveImage, const CString& path);
    bool ReadPresetFile(DeviceSettingsArea& settings, BYTE* liveImage, const CString& path);
    bool WriteAllPresetsFile(const CString& path);
    bool ReadAllPresetsFile(const CString& path);

    const PresetFileInfo& GetInfo() const { return m_Info; }

    // Where the writers take "data_upload_time" from: the local time unless
    // replaced (the factory data is written with a fixed time).
    void SetUploadTimeSource(std::function<CString()> source) { m_UploadTime = std::move(source); }

    // Byte i XOR (i mod 256); its own inverse.
    static void Scramble(std::string& bytes);

private:
    struct Group;    // the bytes of one group, as written or as read
    struct Settings; // the settings arrays, as written or as read
    struct Parsed;   // everything a file holds, checked and not yet applied

    void NextUploadTime();
    cJSON* BuildPresetTree(const Settings& settings, const Group& live) const;
    cJSON* BuildAllPresetsTree(const Settings& settings, const std::vector<Group>& groups) const;
    static cJSON* BuildGroup(const Group& group);
    bool ParsePresetTree(const cJSON* root, Parsed& parsed) const;
    bool ParseAllPresetsTree(const cJSON* root, Parsed& parsed) const;
    static bool ParseGroup(const cJSON* group, Group& out);

    PresetFileInfo m_Info;
    std::function<CString()> m_UploadTime;
};
