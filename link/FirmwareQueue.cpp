#include "link/FirmwareQueue.h"

#include "link/FirmwareFrames.h"
#include "link/KTVCommand.h"
#include "link/LinkGlobals.h"
#include "link/LinkProgress.h"
#include "model/Globals.h"

#include <algorithm>
#include <mutex>

namespace {

// Appends the frames of one call, numbering them as their progress position.
class Batch {
public:
    explicit Batch(CKTVCommand& command) : m_command(command) {}
    ~Batch() {
        // The transfer popup's bar spans the frames of the latest call.
        if (m_nPosition > 0) {
            if (ILinkProgressBar* bar = g_pTransferProgress.load())
                bar->SetRange(0, m_nPosition);
        }
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    void Add(BYTE step, const BYTE* payload, std::size_t length) {
        auto built = BuildFirmwareFrame(step, payload, length);
        // The end frame shares the number of the frame before it.
        if (step != HEXEnd || m_nPosition == 0)
            ++m_nPosition;
        built->SetProgressPos(m_nPosition);
        m_command.AddCommand(std::move(built));
    }

private:
    CKTVCommand& m_command;
    int m_nPosition = 0;
};

const BYTE kZeroRequest[kFirmwareRequestPayload] = {};

} // namespace

CFirmwareFile::LoadResult CFirmwareQueue::Load(const CString& path) {
    {
        // A status list from before the update means nothing to the new
        // firmware.  The link may still be running and storing replies.
        std::lock_guard lock(g_csModel);
        std::fill(std::begin(g_DeviceStatus), std::end(g_DeviceStatus), 0);
    }
    g_bMcuImageLoaded = 0;
    g_bDspImageLoaded = 0;
    g_nDspPhase = 0;
    g_nDspAddress = 0;
    g_nMcuPhase = 0;
    g_nFirmwareFrameTotal = 0;
    g_bFirmwareRebooting = 0;
    g_bFirmwareHandshakePending = 0;

    const auto result = m_file.Load(path);
    if (result != CFirmwareFile::LoadResult::Loaded)
        return result;
    g_bFirmwareHandshakePending = 1;
    g_bDspImageLoaded = m_file.HasDspImage();
    g_bMcuImageLoaded = m_file.HasMcuImage();
    // With a DSP image the DSP part sends the start frame.
    g_nMcuPhase = m_file.HasDspImage() ? 1 : 0;
    g_nFirmwareFrameTotal = m_file.GetFrameEstimate() + 6;
    return result;
}

void CFirmwareQueue::NextFirmwareFrame(CKTVCommand& command) {
    if (g_bFirmwareHandshakePending) {
        QueueFirmwareHandshake(command);
        g_bFirmwareHandshakePending = 0;
    } else if (m_file.DspBytesLeft() > 0) {
        QueueDspFirmwareFrames(command);
    } else if (m_file.McuBytesLeft() > 0) {
        QueueMcuFirmwareFrames(command);
    }
}

void CFirmwareQueue::QueueFirmwareHandshake(CKTVCommand& command) {
    std::lock_guard lock(g_csSend);
    command.AddCommand(BuildFirmwareHandshakeMarker());
}

void CFirmwareQueue::QueueDspFirmwareFrames(CKTVCommand& command) {
    std::lock_guard lock(g_csSend);
    Batch batch(command);
    if (g_nDspPhase == 0) {
        batch.Add(HEXApply, kZeroRequest, sizeof kZeroRequest);
        batch.Add(IAP_DSP_REQUEST_INFO, kZeroRequest, sizeof kZeroRequest);
        g_nDspPhase = 1;
    }
    if (g_nDspPhase == 1 && m_file.DspBytesLeft() > 0) {
        const bool last = m_file.DspBytesLeft() <= kDspPiece;
        BYTE payload[kDspAddressBytes + kDspPiece] = {};
        const auto address = std::uint32_t(g_nDspAddress.load());
        for (std::size_t i = 0; i < kDspAddressBytes; ++i)
            payload[i] = BYTE(address >> (8 * i));
        const auto piece = m_file.TakeDsp(kDspPiece);
        std::copy(piece.begin(), piece.end(), payload + kDspAddressBytes);
        batch.Add(IAP_DSP_DATA, payload, sizeof payload);
        if (!last)
            g_nDspAddress += int(kDspPiece);
        else
            g_nDspPhase = m_file.HasMcuImage() ? 3 : 2;
    }
    if (g_nDspPhase == 2) {
        const BYTE check = m_file.GetCheckByte();
        batch.Add(HEXEnd, &check, 1);
        g_nDspPhase = 4;
    }
}

void CFirmwareQueue::QueueMcuFirmwareFrames(CKTVCommand& command) {
    std::lock_guard lock(g_csSend);
    Batch batch(command);
    if (g_nMcuPhase == 0) {
        batch.Add(HEXApply, kZeroRequest, sizeof kZeroRequest);
        g_nMcuPhase = 1;
    }
    if (g_nMcuPhase == 1) {
        const auto header = m_file.TakeMcu(CFirmwareFile::kMcuHeaderSize);
        batch.Add(HEXStart, header.data(), header.size());
        g_nMcuPhase = 2;
    }
    if (g_nMcuPhase == 2 && m_file.McuBytesLeft() > 0) {
        const bool last = m_file.McuBytesLeft() <= kMcuPiece;
        BYTE payload[kMcuPiece];
        std::fill(std::begin(payload), std::end(payload), kMcuPadding);
        const auto piece = m_file.TakeMcu(kMcuPiece);
        std::copy(piece.begin(), piece.end(), payload);
        batch.Add(HEXData, payload, sizeof payload);
        if (last)
            g_nMcuPhase = 3;
    }
    if (g_nMcuPhase == 3) {
        const BYTE check = m_file.GetCheckByte();
        batch.Add(HEXEnd, &check, 1);
        g_nMcuPhase = 4;
    }
}
