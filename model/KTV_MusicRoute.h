#pragma once

// The music route: owns the four music inputs, created with their names,
// colours and equaliser layouts.  Element i is input i.

#include "model/Music_InData.h"
#include "platform/sys/Geometry.h"
#include "platform/sys/Object.h"

#include <memory>
#include <vector>

class CKTV_MusicRoute : public CObject {
public:
    CKTV_MusicRoute();
    ~CKTV_MusicRoute() override;
    CKTV_MusicRoute(const CKTV_MusicRoute&) = delete;
    CKTV_MusicRoute& operator=(const CKTV_MusicRoute&) = delete;

    void Serialize(CArchive& ar) override;

    int GetSize() const { return int(m_channels.size()); }
    CMusic_InData* GetAt(int index) const;
    void LoadChannel(const BYTE* record, int index);
    void SetAllDirty(int value);

private:
    std::vector<std::unique_ptr<CMusic_InData>> m_channels;
};
