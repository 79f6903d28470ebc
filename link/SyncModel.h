#pragma once

// What the live synchronisation and the preset transfers ask of the
// parameter model beyond ILinkModel: loading it from an image, packing it
// into the live image, and its channel objects.  The whole model implements
// it; everything here runs on the GUI thread.

#include "link/LinkModel.h"
#include "platform/sys/WinTypes.h"

class CKTV_OutData;
class CMusic_InData;

class ISyncModel : public ILinkModel {
public:
    virtual void LoadFromImage(const BYTE* image, int mode) = 0;
    virtual void PackToImage() = 0;
    virtual CKTV_OutData* GetOutput(int output) = 0;
    virtual CMusic_InData* GetMusicInput(int input) = 0;
};
