// The output-map reader and the channel archive fed any bytes.  A refused
// map changes nothing; a model the archive loaded stores the same bytes
// again after one more load.

#include "FuzzCheck.h"
#include "model/DeviceDefaults.h"
#include "model/Globals.h"
#include "model/TALQ50Doc.h"
#include "platform/sys/Archive.h"

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> MapMemories() {
    std::vector<BYTE> all(g_DeviceSettings.SpeakerTypes, g_DeviceSettings.SpeakerTypes + sizeof g_DeviceSettings.SpeakerTypes);
    const auto* table = &g_CrossoverTable[0][0];
    all.insert(all.end(), table, table + sizeof g_CrossoverTable);
    return all;
}

std::string Store(CKTV_Data& model) {
    std::ostringstream out;
    CArchive ar(out);
    model.Serialize(ar);
    ar.Flush();
    return out.str();
}

bool Load(CKTV_Data& model, const std::string& bytes) {
    std::istringstream in(bytes);
    CArchive ar(in);
    try {
        model.Serialize(ar);
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CTALQ50Doc* doc = [] {
        InitDefaultDeviceData();
        return new CTALQ50Doc;
    }();
    static auto* again = new CKTV_Data;
    if (size < 1)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        const std::vector<BYTE> before = MapMemories();
        std::istringstream in(bytes);
        CArchive ar(in);
        if (!doc->SerializeOutputMap(ar))
            FUZZ_REQUIRE(MapMemories() == before);
        return 0;
    }
    if (!Load(doc->m_KTVData, bytes))
        return 0;
    const std::string stored = Store(doc->m_KTVData);
    FUZZ_REQUIRE(Load(*again, stored));
    FUZZ_REQUIRE(Store(*again) == stored);
    return 0;
}
