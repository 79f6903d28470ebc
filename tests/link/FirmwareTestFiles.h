#pragma once

// Firmware files for the tests: images with recognisable bytes and a file on
// disk that goes away with the test.

#include "platform/sys/WinTypes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace firmware_test {

using Bytes = std::vector<BYTE>;

// A whole DSP image, 0x3FFFF bytes.
inline Bytes DspImage() {
    Bytes image(0x3FFFF);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = BYTE(i * 5 + 7);
    return image;
}

// An MCU image of `size` bytes, header included.
inline Bytes McuImage(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = BYTE(i * 11 + 5);
    return image;
}

// The file that carries the images; an MCU section appears when there is an
// MCU image or `mcuTag` asks for its tag alone.
inline Bytes FirmwareBytes(const Bytes& dsp, const Bytes& mcu, bool mcuTag = false) {
    Bytes file;
    if (!dsp.empty()) {
        file = {'W', 'D', 'S', 'P'};
        file.insert(file.end(), dsp.begin(), dsp.end());
        file.push_back(0xEE); // the unused byte before the MCU section
    }
    if (!mcu.empty() || mcuTag) {
        file.insert(file.end(), {'W', 'M', 'C', 'U'});
        file.insert(file.end(), mcu.begin(), mcu.end());
    }
    return file;
}

class TempFile {
public:
    explicit TempFile(const Bytes& content, const char* name = "firmware.bin") {
        static std::atomic<int> s_count{0};
        // Test programs run side by side: the process id keeps their files apart.
        m_path = testing::TempDir() + "/kt-" + std::to_string(getpid()) + "-" + std::to_string(++s_count) +
                 "-" + name;
        std::ofstream out(m_path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(content.data()), std::streamsize(content.size()));
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace firmware_test
