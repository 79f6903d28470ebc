// The firmware-file loader fed any file: what it accepts drains to nothing,
// piece by piece, and a refused file leaves no image behind.

#include "FuzzCheck.h"
#include "link/FirmwareFile.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A DSP section makes a file 256 KiB long; an input that starts with
    // 0xD5 stands for such a file: its first half at the start of the DSP
    // image, its second half after the section, where an MCU tag may follow.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size > 0 && data[0] == 0xD5) {
        const std::string rest = bytes.substr(1);
        const std::size_t half = rest.size() / 2;
        std::string file = "WDSP" + rest.substr(0, half);
        file.resize(CFirmwareFile::kDspFileSize, '\x5A');
        bytes = file + rest.substr(half);
    }
    std::istringstream in(bytes);
    CFirmwareFile file;
    const auto result = file.Load(in, bytes.size());
    if (result != CFirmwareFile::LoadResult::Loaded) {
        FUZZ_REQUIRE(!file.HasDspImage() && !file.HasMcuImage());
        return 0;
    }
    FUZZ_REQUIRE(file.HasDspImage() || file.HasMcuImage());
    std::size_t taken = 0;
    for (std::size_t left = file.DspBytesLeft(); left > 0; left = file.DspBytesLeft()) {
        const auto piece = file.TakeDsp(4096);
        FUZZ_REQUIRE(!piece.empty() && piece.size() <= 4096 && file.DspBytesLeft() == left - piece.size());
        taken += piece.size();
    }
    for (std::size_t left = file.McuBytesLeft(); left > 0; left = file.McuBytesLeft()) {
        const auto piece = file.TakeMcu(256);
        FUZZ_REQUIRE(!piece.empty() && piece.size() <= 256 && file.McuBytesLeft() == left - piece.size());
        taken += piece.size();
    }
    FUZZ_REQUIRE(taken <= bytes.size());
    return 0;
}
