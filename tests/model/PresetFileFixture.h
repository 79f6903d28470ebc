#pragma once

// Fills the shared memories with known bytes and gives each test its own
// folder for files; the raw text of a file can be read and rewritten, so a
// test can take a file this program wrote and change one thing in it.

#include "model/Globals.h"
#include "model/PresetJson.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

class PresetFileFixture : public ::testing::Test {
protected:
    struct Memories {
        std::vector<BYTE> live, stored, settings;
        int locked = 0;
        bool operator==(const Memories&) const = default;
    };

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("kt_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        Fill(1);
        g_bPresetLocked = 0;
        g_strPresetPassword.clear();
    }
    void TearDown() override {
        std::filesystem::remove_all(m_dir);
        g_bPresetLocked = 0;
        g_strPresetPassword.clear();
    }

    CString Path(const char* name) const { return (m_dir / name).string(); }

    // Every byte of the images and the settings from `seed`, distinct enough
    // that a byte in the wrong place shows.
    static void Fill(int seed) {
        for (int i = 0; i < kDeviceImageSize; ++i)
            g_DeviceImage[i] = BYTE(i * 7 + seed);
        for (int p = 0; p < kPresetCount; ++p)
            for (int i = 0; i < kDeviceImageSize; ++i)
                g_PresetImages[p][i] = BYTE(i * 13 + p * 31 + seed);
        auto* settings = reinterpret_cast<BYTE*>(&g_DeviceSettings);
        for (std::size_t i = 0; i < sizeof g_DeviceSettings; ++i)
            settings[i] = BYTE(i * 3 + seed);
    }

    static Memories Snapshot() {
        const auto* settings = reinterpret_cast<const BYTE*>(&g_DeviceSettings);
        return {std::vector<BYTE>(g_DeviceImage, g_DeviceImage + kDeviceImageSize),
                std::vector<BYTE>(&g_PresetImages[0][0], &g_PresetImages[0][0] + sizeof g_PresetImages),
                std::vector<BYTE>(settings, settings + sizeof g_DeviceSettings), g_bPresetLocked};
    }

    static std::string ReadRaw(const CString& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteRaw(const CString& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    static std::string ReadText(const CString& path) {
        std::string bytes = ReadRaw(path);
        CPresetJson::Scramble(bytes);
        return bytes;
    }
    static void WriteText(const CString& path, std::string text) {
        CPresetJson::Scramble(text);
        WriteRaw(path, text);
    }

    struct TreeDeleter {
        void operator()(cJSON* tree) const { cJSON_Delete(tree); }
    };
    using Tree = std::unique_ptr<cJSON, TreeDeleter>;

    static Tree ReadTree(const CString& path) { return Tree(cJSON_Parse(ReadText(path).c_str())); }
    static void WriteTree(const CString& path, const Tree& tree) {
        char* text = cJSON_Print(tree.get());
        WriteText(path, text);
        cJSON_free(text);
    }

    // The items of a byte array as bytes.
    static std::vector<BYTE> Items(const cJSON* array) {
        std::vector<BYTE> bytes;
        for (const cJSON* item = array ? array->child : nullptr; item; item = item->next)
            bytes.push_back(BYTE(item->valueint));
        return bytes;
    }

    std::filesystem::path m_dir;
};
