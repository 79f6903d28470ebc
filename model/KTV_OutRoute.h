#pragma once

// The output route: owns the twelve outputs, created with their names,
// colours, equaliser layouts and the crossover of their speaker type.
// Element i is output i.

#include "model/KTV_OutData.h"
#include "platform/sys/Object.h"

#include <memory>
#include <vector>

class CKTV_OutRoute : public CObject {
public:
    CKTV_OutRoute();
    ~CKTV_OutRoute() override;
    CKTV_OutRoute(const CKTV_OutRoute&) = delete;
    CKTV_OutRoute& operator=(const CKTV_OutRoute&) = delete;

    void Serialize(CArchive& ar) override;

    int GetSize() const { return int(m_channels.size()); }
    CKTV_OutData* GetAt(int index) const;
    void LoadChannel(const BYTE* record, int index);
    void SetAllDirty(int value);

private:
    std::vector<std::unique_ptr<CKTV_OutData>> m_channels;
};
