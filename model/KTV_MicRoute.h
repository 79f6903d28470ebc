#pragma once

// The microphone route: owns the one microphone input, created with its
// name, colours and equaliser layout.

#include "model/MIC_InData.h"
#include "platform/sys/Object.h"

#include <memory>
#include <vector>

class CKTV_MicRoute : public CObject {
public:
    CKTV_MicRoute();
    ~CKTV_MicRoute() override;
    CKTV_MicRoute(const CKTV_MicRoute&) = delete;
    CKTV_MicRoute& operator=(const CKTV_MicRoute&) = delete;

    void Serialize(CArchive& ar) override;

    int GetSize() const { return int(m_channels.size()); }
    CMIC_InData* GetAt(int index) const;
    void LoadChannel(const BYTE* record, int index);
    void SetAllDirty(int value);

private:
    std::vector<std::unique_ptr<CMIC_InData>> m_channels;
};
