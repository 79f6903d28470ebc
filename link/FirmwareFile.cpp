#include "link/FirmwareFile.h"

#include "link/FirmwareFrames.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

constexpr std::size_t kTagSize = 4;
// Full DSP data frames of a whole image (a last, shorter one follows).
constexpr std::size_t kDspFrames = CFirmwareFile::kDspImageSize / kDspPiece;
// What the estimate leaves out of the file length besides the images.
constexpr std::size_t kTagAndSpare = 5;

bool HasTag(std::istream& in, const char* tag) {
    char bytes[kTagSize] = {};
    if (!in.read(bytes, kTagSize))
        return false;
    return std::memcmp(bytes, tag, kTagSize) == 0;
}

// The rest of the stream, from where it stands.
bool ReadRest(std::istream& in, std::vector<BYTE>& out, std::size_t count) {
    out.resize(count);
    return count == 0 || bool(in.read(reinterpret_cast<char*>(out.data()), std::streamsize(count)));
}

} // namespace

bool CFirmwareFile::IsDspSection(std::istream& in) {
    return HasTag(in, "WDSP");
}

bool CFirmwareFile::IsMcuSection(std::istream& in) {
    return HasTag(in, "WMCU");
}

void CFirmwareFile::Clear() {
    *this = CFirmwareFile();
}

CFirmwareFile::LoadResult CFirmwareFile::Load(const CString& path) {
    Clear();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return LoadResult::CannotOpen;
    const auto end = in.tellg();
    if (end < 0)
        return LoadResult::CannotOpen;
    in.seekg(0);
    return Load(in, std::size_t(end));
}

CFirmwareFile::LoadResult CFirmwareFile::Load(std::istream& in, std::size_t length) {
    Clear();
    std::size_t estimateLength = length;
    bool mcuTagged = false;
    if (length >= kDspFileSize) {
        // A long file must open with its DSP section: anything else would be
        // cut down to an MCU image that is not what the file holds.
        if (!IsDspSection(in) || !ReadRest(in, m_dsp, kDspImageSize))
            return Fail();
        m_bDspLoaded = true;
        in.seekg(std::streamoff(kDspFileSize));
        mcuTagged = length >= kDspFileSize + kTagSize && IsMcuSection(in);
        estimateLength = length - kTagAndSpare;
    } else {
        if (!IsMcuSection(in))
            return Fail();
        mcuTagged = true;
    }

    if (mcuTagged) {
        const std::size_t at = m_bDspLoaded ? kDspFileSize + kTagSize : kTagSize;
        // A header and at least one data byte: with less, the start frame or
        // the data frames would run past the image's end, or never end.
        if (length < at + kMcuHeaderSize + 1 || !ReadRest(in, m_mcu, length - at))
            return Fail();
        m_bMcuLoaded = true;
    }

    m_byCheck = kCheckSeed;
    for (std::size_t i = kMcuHeaderSize; i < m_mcu.size(); ++i)
        m_byCheck ^= m_mcu[i];
    m_nFrameEstimate = m_bDspLoaded ? int((estimateLength - kDspImageSize) / kMcuPiece + kDspFrames)
                                    : int(estimateLength / kMcuPiece);
    return LoadResult::Loaded;
}

CFirmwareFile::LoadResult CFirmwareFile::Fail() {
    Clear();
    return LoadResult::NoImage;
}

std::vector<BYTE> CFirmwareFile::Take(const std::vector<BYTE>& image, std::size_t& taken, std::size_t count) {
    count = std::min(count, image.size() - taken);
    std::vector<BYTE> piece(image.begin() + std::ptrdiff_t(taken),
                            image.begin() + std::ptrdiff_t(taken + count));
    taken += count;
    return piece;
}

std::vector<BYTE> CFirmwareFile::TakeDsp(std::size_t count) {
    return Take(m_dsp, m_nDspTaken, count);
}

std::vector<BYTE> CFirmwareFile::TakeMcu(std::size_t count) {
    return Take(m_mcu, m_nMcuTaken, count);
}
