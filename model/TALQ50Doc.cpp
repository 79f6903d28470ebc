#include "model/TALQ50Doc.h"

#include "model/Globals.h"
#include "platform/sys/Archive.h"

#include <cstring>
#include <mutex>

namespace {

// The magic as the archive writes a string: its length byte, then the text.
CString MagicBytes() {
    return char(g_strMapMagic.size()) + g_strMapMagic;
}

constexpr int kTypeCount = kOutputCount;

// One output's crossover in the file: the table's record with slope and
// family swapped.
constexpr int kFamily[2] = {2, 6};
constexpr int kSlope[2] = {3, 7};

} // namespace

BOOL CTALQ50Doc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return FALSE;
    SetTitle("");
    return TRUE;
}

void CTALQ50Doc::Serialize(CArchive&) {}

bool CTALQ50Doc::SerializeOutputMap(CArchive& ar) {
    BYTE types[kTypeCount];
    BYTE crossovers[kOutputCount][8];
    try {
        if (ar.IsStoring()) {
            m_KTVData.SaveCrossoverTable();
            {
                std::lock_guard lock(g_csModel);
                std::memcpy(types, g_DeviceSettings.SpeakerTypes, kTypeCount);
                std::memcpy(crossovers, g_CrossoverTable, sizeof crossovers);
            }
            for (char c : MagicBytes())
                ar << BYTE(c);
            for (BYTE type : types)
                ar << type;
            for (const auto& record : crossovers) {
                for (int side = 0; side < 2; ++side) {
                    ar << WORD(record[4 * side] | (record[4 * side + 1] << 8));
                    ar << record[kSlope[side]] << record[kFamily[side]];
                }
            }
            ar.Flush();
            return true;
        }

        // The whole file first: a short one or one with another magic changes nothing.
        for (char c : MagicBytes()) {
            BYTE b = 0;
            ar >> b;
            if (b != BYTE(c))
                return false;
        }
        for (BYTE& type : types)
            ar >> type;
        for (auto& record : crossovers) {
            for (int side = 0; side < 2; ++side) {
                WORD hz = 0;
                ar >> hz >> record[kSlope[side]] >> record[kFamily[side]];
                record[4 * side] = BYTE(hz & 0xFF);
                record[4 * side + 1] = BYTE(hz >> 8);
            }
        }
    } catch (const CArchiveException&) {
        return false;
    }
    std::lock_guard lock(g_csModel);
    std::memcpy(g_DeviceSettings.SpeakerTypes, types, kTypeCount);
    std::memcpy(g_CrossoverTable, crossovers, sizeof crossovers);
    return true;
}
