#include "ModelFixture.h"

#include "model/Filter.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>

namespace {

// The processor's side of the picks: every block write lands in its own copy
// of the preset, the name write in its name field.
void Apply(const CSendData& frame, std::vector<BYTE>& image) {
    const BYTE* d = frame.GetData();
    const BYTE* payload = d + frame::kOffPayload;
    const int type = d[frame::kOffType];
    const int channel = d[frame::kOffChannel];
    const int block = d[frame::kOffBlock];
    if (d[frame::kOffCommand] != frame::kCmdWrite)
        return;
    if (type == DATA_OUTPUT)
        std::memcpy(&image[OutputRecordOffset(channel) + block * kBlockSize], payload, kBlockSize);
    else if (type == DATA_MUSIC_INPUT)
        std::memcpy(&image[MusicRecordOffset(channel) + block * kBlockSize], payload, kBlockSize);
    else if (type == DATA_DEVICE_INFO && channel == INFO_PRESET_NAME)
        std::memcpy(&image[kPresetNameOffset], payload, kPresetNameSize);
}

// The GUI thread edits outputs and music inputs while the communication
// thread picks; once the edits stop and the picks run dry, the processor's
// copy holds exactly what the model packs.
class KTV_DataThreaded : public ModelFixture {};

TEST_F(KTV_DataThreaded, EditsDuringPicksAllArrive) {
    CKTV_Data& model = *m_model;
    std::vector<BYTE> processor(g_DeviceImage, g_DeviceImage + kDeviceImageSize);

    std::atomic<bool> editing{true};
    std::thread comm([&] {
        // A poll ends the picks only when it came after the last edit.
        for (bool done = false; !done;) {
            const bool edited = !editing;
            std::unique_ptr<CSendData> frame;
            {
                std::lock_guard lock(g_csSend);
                frame = model.SendNextDirtyBlock();
            }
            ASSERT_NE(frame, nullptr);
            Apply(*frame, processor);
            done = edited && Describe(*frame) == "poll";
        }
    });

    std::mt19937 random(7);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    for (int i = 0; i < 3000; ++i) {
        CKTV_OutData& out = *model.GetOutput(pick(kOutputCount));
        CMusic_InData& music = *model.GetMusicInput(pick(kMusicInputCount));
        switch (pick(10)) {
        case 0:
            out.SetGain(WORD(pick(601)));
            break;
        case 1:
            out.SetDelay(WORD(pick(385)));
            break;
        case 2:
            out.GetBand(pick(31))->SetFreq(20 + pick(19980), 1);
            break;
        case 3:
            out.GetBand(pick(31))->SetGainIndex(pick(401));
            break;
        case 4:
            out.SetMixLevel(1 + pick(18), BYTE(pick(101)));
            break;
        case 5:
            out.SetLimiterAttack(WORD(pick(181)));
            break;
        case 6:
            out.GetHighPass()->SetFreq(20 + pick(2000), 1);
            break;
        case 7:
            music.SetGain(pick(601));
            break;
        case 8:
            music.GetBand(pick(31))->SetFreq(20 + pick(19980), 1);
            break;
        case 9:
            out.SetName(pick(2) ? "Left" : "Right");
            break;
        }
        if (i % 64 == 0)
            std::this_thread::yield();
    }
    editing = false;
    comm.join();

    model.PackToImage();
    for (int i = 0; i < kDeviceImageSize; ++i)
        ASSERT_EQ(processor[std::size_t(i)], g_DeviceImage[i]) << "image byte " << i;
}

} // namespace
