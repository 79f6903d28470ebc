#pragma once

// A firmware file (".bin") as the update sends it: a DSP image after the tag
// "WDSP", an MCU image after the tag "WMCU", or both.
//
//   shorter than 0x40004 bytes: "WMCU", then the MCU image to the end
//   0x40004 bytes or more:      "WDSP", the DSP image (0x3FFFF bytes), one
//                               unused byte, then optionally "WMCU" and the
//                               MCU image to the end
//
// The first four bytes of an MCU image are its header; the rest is its data.
// The frames take their bytes from the front of each image.

#include "platform/sys/WinTypes.h"

#include <cstddef>
#include <istream>
#include <vector>

class CFirmwareFile {
public:
    static constexpr std::size_t kDspSectionStart = 4;
    static constexpr std::size_t kDspImageSize = 0x3FFFF;
    // Files this long or longer carry a DSP section.
    static constexpr std::size_t kDspFileSize = 0x40004;
    static constexpr std::size_t kMcuHeaderSize = 4;
    static constexpr BYTE kCheckSeed = 0x12;

    enum class LoadResult {
        Loaded,
        CannotOpen,
        // The file opened but holds no image that can be sent whole.
        NoImage,
    };

    LoadResult Load(const CString& path);
    LoadResult Load(std::istream& in, std::size_t length);
    void Clear();

    // Which images the last load found (they stay set while frames drain them).
    bool HasDspImage() const { return m_bDspLoaded; }
    bool HasMcuImage() const { return m_bMcuLoaded; }

    std::size_t DspBytesLeft() const { return m_dsp.size() - m_nDspTaken; }
    std::size_t McuBytesLeft() const { return m_mcu.size() - m_nMcuTaken; }
    // Takes up to `count` bytes off the front of an image.
    std::vector<BYTE> TakeDsp(std::size_t count);
    std::vector<BYTE> TakeMcu(std::size_t count);

    // The byte the end frame carries: the seed XOR every MCU data byte (the
    // seed alone when there is no MCU image).
    BYTE GetCheckByte() const { return m_byCheck; }
    // The estimated number of data frames of the transfer.
    int GetFrameEstimate() const { return m_nFrameEstimate; }

    // Read the next four bytes of `in` and compare them with the tag.
    static bool IsDspSection(std::istream& in);
    static bool IsMcuSection(std::istream& in);

private:
    // Forgets what was read and reports the file as holding no usable image.
    LoadResult Fail();
    static std::vector<BYTE> Take(const std::vector<BYTE>& image, std::size_t& taken, std::size_t count);

    std::vector<BYTE> m_dsp;
    std::vector<BYTE> m_mcu;
    std::size_t m_nDspTaken = 0;
    std::size_t m_nMcuTaken = 0;
    bool m_bDspLoaded = false;
    bool m_bMcuLoaded = false;
    BYTE m_byCheck = kCheckSeed;
    int m_nFrameEstimate = 0;
};
