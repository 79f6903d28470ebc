#include "model/Effect_Data.h"
#include "model/Filter.h"
#include "tests/model/ChannelFixture.h"

#include <cstring>

namespace {

constexpr BYTE kUntouched = 0xEE;

// Image bytes the effect owns: bands 32..55, crossover 152..159, the
// parameter bytes and the name 176..183.
bool IsEffectByte(int i) {
    if ((i >= 32 && i < 56) || (i >= 152 && i < 164) || (i >= 176 && i < 184))
        return true;
    return i == 166 || (i >= 168 && i < 173) || i == 175;
}

class Effect_DataTest : public ChannelFixture {
protected:
    void SetUp() override {
        ChannelFixture::SetUp();
        FillImage(kUntouched);
    }
};

TEST_F(Effect_DataTest, FreshPackWritesTheDefaultsAndNothingElse) {
    CEffect_Data effect;
    effect.FillSendTable();
    const std::vector<BYTE> params = {0x14, 0x54, 0x32, 0x44, kUntouched, kUntouched, 0x00,       kUntouched,
                                      0x12, 0x32, 0x00, 0x28, 0x32,       kUntouched, kUntouched, 0x00};
    EXPECT_EQ(ImageBytes(160, 16), params);
    EXPECT_EQ(std::memcmp(g_DeviceImage + 176, "Effect\0\0", 8), 0);
    for (int i = 0; i < kDeviceImageSize; ++i) {
        if (!IsEffectByte(i) && g_DeviceImage[i] != kUntouched) {
            ADD_FAILURE() << "image byte " << i << " was written";
            break;
        }
    }
}

TEST_F(Effect_DataTest, LoadingAPackedAreaGivesTheSameEffectBack) {
    BYTE area[152] = {};
    std::memset(area, kUntouched, sizeof area);
    for (int k = 0; k < 3; ++k) {
        const BYTE band[8] = {static_cast<BYTE>(50 + k), 0, static_cast<BYTE>(0x30 + k), 0x02, 52, 0, 1, 0};
        std::memcpy(area + 8 * k, band, 8);
    }
    const BYTE crossover[8] = {0x28, 0x00, 1, 4, 0x88, 0x13, 2, 5}; // 40 Hz; 5000 Hz
    std::memcpy(area + 120, crossover, 8);
    const BYTE params[16] = {101, 2, 3, 4, 0, 0, 5, 0, 6, 7, 8, 9, 10, 0, 0, 11};
    std::memcpy(area + 128, params, sizeof params);
    std::memcpy(area + 144, " Hall  \0", 8);

    CEffect_Data effect;
    effect.LoadFromDevice(area);
    EXPECT_EQ(effect.GetName(), "Hall");
    EXPECT_EQ(effect.GetA1(), 101);
    EXPECT_EQ(effect.GetA5(), 3);
    EXPECT_EQ(effect.GetA4(), 5);
    EXPECT_EQ(effect.GetB5(), 10);
    EXPECT_EQ(effect.GetB6(), 11);
    EXPECT_EQ(effect.GetParam1Text(), "L_1%");

    effect.FillSendTable();
    for (int i = 0; i < 144; ++i) { // all but the name, which comes back trimmed
        if (IsEffectByte(32 + i)) {
            EXPECT_EQ(g_DeviceImage[32 + i], area[i]) << "image byte " << 32 + i;
        }
    }
    EXPECT_EQ(std::memcmp(g_DeviceImage + 176, "Hall\0\0\0\0", 8), 0);

    CEffect_Data again;
    again.LoadFromDevice(g_DeviceImage + 32);
    EXPECT_EQ(again.GetName(), "Hall");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(again.GetFilter(i)->GetFreq(), effect.GetFilter(i)->GetFreq()) << i;
        EXPECT_EQ(again.GetFilter(i)->GetGainIndex(), effect.GetFilter(i)->GetGainIndex()) << i;
        EXPECT_EQ(again.GetFilter(i)->GetSlope(), effect.GetFilter(i)->GetSlope()) << i;
        EXPECT_EQ(again.GetFilter(i)->GetFamily(), effect.GetFilter(i)->GetFamily()) << i;
    }
}

TEST_F(Effect_DataTest, ParameterTexts) {
    BYTE area[152] = {};
    const auto textsFor = [&](BYTE a1) {
        area[128] = a1;
        CEffect_Data effect;
        effect.LoadFromDevice(area);
        return effect.GetParam1Text();
    };
    EXPECT_EQ(textsFor(30), "R_70%");
    EXPECT_EQ(textsFor(100), "OFF");
    EXPECT_EQ(textsFor(195), "L_95%");

    CEffect_Data effect;
    EXPECT_EQ(effect.GetParam2Text(), "168ms");
    EXPECT_EQ(effect.GetParamB1Text(), "1.8s");
    EXPECT_EQ(effect.GetParamB4Text(), "40%");
}

} // namespace
