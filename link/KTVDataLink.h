#pragma once

// The whole model as the link sees it: the view asks it for the next changed
// block, loads it from the live image when live data arrived, packs it before
// the live data are written into a slot, and reaches its outputs and music
// inputs for the preset transfers.

#include "link/SyncModel.h"

class CKTV_Data;

class CKTVDataLink final : public ISyncModel {
public:
    explicit CKTVDataLink(CKTV_Data& data) : m_data(data) {}

    std::unique_ptr<CSendData> SendNextDirtyBlock() override;
    void SetAllDirty(int dirty) override;
    void LoadFromImage(const BYTE* image, int mode) override;
    void PackToImage() override;
    CKTV_OutData* GetOutput(int output) override;
    CMusic_InData* GetMusicInput(int input) override;

private:
    CKTV_Data& m_data;
};
