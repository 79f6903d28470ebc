#include "model/TALQ50Doc.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "platform/sys/Archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

class TALQ50DocTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bOnline = 0;
        InitDefaultDeviceData();
        m_doc = std::make_unique<CTALQ50Doc>();
        for (int i = 0; i < kOutputCount; ++i) {
            g_DeviceSettings.SpeakerTypes[i] = BYTE(i + 1);
            // High-pass 100 + i Hz, family 1, slope 2; low-pass 10000 + i Hz, family 2, slope 5.
            const BYTE record[8] = {BYTE(100 + i),          0, 1, 2, BYTE((10000 + i) & 0xFF),
                                    BYTE((10000 + i) >> 8), 2, 5};
            Model().GetOutput(i)->SetCrossover(record);
        }
        // Output 3's high-pass still glides toward 2000 Hz: the file gets 100 + 3.
        g_bOnline = 1;
        Model().GetOutput(3)->GetHighPass()->SetFreq(2000, 1);
        g_bOnline = 0;
    }

    CKTV_Data& Model() { return m_doc->m_KTVData; }

    std::string Store() {
        std::ostringstream out;
        CArchive ar(out);
        EXPECT_TRUE(m_doc->SerializeOutputMap(ar));
        return out.str();
    }
    bool Load(const std::string& bytes) {
        std::istringstream in(bytes);
        CArchive ar(in);
        return m_doc->SerializeOutputMap(ar);
    }

    static std::string Golden() {
        std::string file = "\x0BTALQ500_Map";
        for (int i = 0; i < kOutputCount; ++i)
            file += char(i + 1);
        for (int i = 0; i < kOutputCount; ++i) {
            // Frequency, slope, family: the slope comes first in the file.
            file += {char(100 + i), 0, 2, 1, char((10000 + i) & 0xFF), char((10000 + i) >> 8), 5, 2};
        }
        return file;
    }

    struct Saved {
        std::vector<BYTE> types, table;
        bool operator==(const Saved&) const = default;
    };
    static Saved Current() {
        return {{g_DeviceSettings.SpeakerTypes, g_DeviceSettings.SpeakerTypes + 16},
                {&g_CrossoverTable[0][0], &g_CrossoverTable[0][0] + sizeof g_CrossoverTable}};
    }

    std::unique_ptr<CTALQ50Doc> m_doc;
};

TEST_F(TALQ50DocTest, StoresTheGoldenFile) {
    const std::string file = Store();
    EXPECT_EQ(file.size(), 120u);
    EXPECT_EQ(file, Golden());

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    CArchive ar(broken);
    EXPECT_FALSE(m_doc->SerializeOutputMap(ar));
}

TEST_F(TALQ50DocTest, ReadsTheFileIntoTheTablesOnly) {
    std::memset(g_DeviceSettings.SpeakerTypes, 0, 16);
    std::memset(g_CrossoverTable, 0, sizeof g_CrossoverTable);
    const auto crossover = Model().GetOutput(5)->GetCrossover();
    for (const std::string& file : {Golden(), Golden() + std::string(40, '\x7F')}) {
        ASSERT_TRUE(Load(file));
        for (int i = 0; i < kOutputCount; ++i) {
            EXPECT_EQ(g_DeviceSettings.SpeakerTypes[i], i + 1);
            const std::vector<BYTE> want{BYTE(100 + i),          0, 1, 2, BYTE((10000 + i) & 0xFF),
                                         BYTE((10000 + i) >> 8), 2, 5};
            EXPECT_EQ(std::vector<BYTE>(g_CrossoverTable[i], g_CrossoverTable[i] + 8), want)
                << "output " << i;
        }
    }
    EXPECT_EQ(Model().GetOutput(5)->GetCrossover(), crossover);
}

TEST_F(TALQ50DocTest, RefusedFilesChangeNothing) {
    const std::string golden = Golden();
    std::string otherCase = golden;
    otherCase[1] = 't';
    std::string longerMagic = golden;
    longerMagic[0] = 12;
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"one byte short", golden.substr(0, 119)}, {"crossovers missing", golden.substr(0, 24)},
        {"only the magic", golden.substr(0, 12)},  {"empty", ""},
        {"magic in another case", otherCase},      {"magic of another length", longerMagic},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::memset(g_DeviceSettings.SpeakerTypes, 0x55, 16);
        std::memset(g_CrossoverTable, 0x66, sizeof g_CrossoverTable);
        const Saved before = Current();
        EXPECT_FALSE(Load(c.file));
        EXPECT_TRUE(Current() == before);
    }
}

TEST_F(TALQ50DocTest, NewDocumentHasNoTitleAndSerializesNothing) {
    m_doc->SetTitle("old");
    EXPECT_TRUE(m_doc->OnNewDocument());
    EXPECT_EQ(m_doc->GetTitle(), "");
    std::ostringstream out;
    CArchive ar(out);
    m_doc->Serialize(ar);
    EXPECT_TRUE(out.str().empty());
}

} // namespace
