#include "link/KTVDataLink.h"

#include "model/Globals.h"
#include "model/KTV_Data.h"

std::unique_ptr<CSendData> CKTVDataLink::SendNextDirtyBlock() {
    return m_data.SendNextDirtyBlock();
}

void CKTVDataLink::SetAllDirty(int dirty) {
    m_data.SetAllDirty(dirty);
}

void CKTVDataLink::LoadFromImage(const BYTE* image, int mode) {
    m_data.LoadFromImage(image, mode);
}

void CKTVDataLink::PackToImage() {
    m_data.PackToImage();
}

CKTV_OutData* CKTVDataLink::GetOutput(int output) {
    return output >= 0 && output < kOutputCount ? m_data.GetOutput(output) : nullptr;
}

CMusic_InData* CKTVDataLink::GetMusicInput(int input) {
    return input >= 0 && input < kMusicInputCount ? m_data.GetMusicInput(input) : nullptr;
}
