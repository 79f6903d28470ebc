#pragma once

// The whole parameter model: the effect block, the microphone input, the
// four music inputs and the twelve outputs.  It moves the whole state
// between the objects and a device image, keeps the output link table, and
// is the change tracker: whenever the send queue runs empty the
// communication thread asks it for the frame of the next changed block, or
// for the status poll when nothing changed.
//
// The objects, the images and the settings area are shared with the
// communication thread under g_csModel: the setters take it, and so do the
// loads, the packs and the pick, which takes g_csSend first.

#include "model/Effect_Data.h"
#include "model/KTV_MicRoute.h"
#include "model/KTV_MusicRoute.h"
#include "model/KTV_OutRoute.h"
#include "model/SendData.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"
#include "platform/sys/WinTypes.h"

#include <memory>

class CKTV_Data : public CObject {
public:
    CKTV_Data();
    ~CKTV_Data() override;
    CKTV_Data(const CKTV_Data&) = delete;
    CKTV_Data& operator=(const CKTV_Data&) = delete;

    // The parts in order; the device name is not archived.
    void Serialize(CArchive& ar) override;

    CMIC_InData* GetMicInput(int index) const { return m_MicRoute.GetAt(index); }
    CMusic_InData* GetMusicInput(int index) const { return m_MusicRoute.GetAt(index); }
    CKTV_OutData* GetOutput(int index) const { return m_OutRoute.GetAt(index); }
    CEffect_Data* GetEffectData() { return &m_EffectData; }
    // The live preset's name as the last name check read it.
    CString GetDeviceName() const;

    // Rebuilds g_OutLinkTable from the live image and clears the edited
    // flags and the group tables; the caller rebuilds the groups.
    void InitLinkTable();
    // Every change flag of every part, the system-data request to `value`;
    // the input-settings request is dropped.
    void SetAllDirty(int value);
    // Fills every object from a 5000-byte image; the effect part only with
    // mode 0 or 6.  Changes no flag.
    void LoadFromImage(const BYTE* image, int mode);
    // Writes every object into the live image; builds no frame.
    void PackToImage();
    // The frame of the next changed block, a preset-name or system frame, or
    // the status poll; never null.  Call with the send queue empty and
    // append every frame it returns.
    std::unique_ptr<CSendData> SendNextDirtyBlock();
    // Each output's crossover into g_CrossoverTable.
    void SaveCrossoverTable();

    void SetOutputCurveRect(const CRect& rect);
    void SetMusicCurveRect(const CRect& rect);

private:
    std::unique_ptr<CSendData> CheckPresetName();
    std::unique_ptr<CSendData> NextMusicBlock();
    std::unique_ptr<CSendData> NextOutputBlock();

    CEffect_Data m_EffectData;
    CKTV_MicRoute m_MicRoute;
    CKTV_MusicRoute m_MusicRoute;
    CKTV_OutRoute m_OutRoute;
    CString m_strDeviceName;
};
