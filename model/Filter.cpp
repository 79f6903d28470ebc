#include "model/Filter.h"

#include "model/FilterSliderLink.h"
#include "model/Globals.h"
#include "platform/sys/Archive.h"

CFilter::CFilter() = default;

void CFilter::MarkChanged() {
    m_bChanged = g_bOnline;
}

void CFilter::UpdateGeometry() {
    if (IsBand())
        UpdateHandles();
    else
        UpdateCrossoverMarker();
}

int CFilter::GetGainIndex() const {
    if (IsFlatOrBypassed())
        return 200;
    return TruncToInt((m_dGain + 20.0) * 100.0 / 10.0 + 0.5);
}

int CFilter::GetBandwidthIndex() const {
    // A truncation with a small tolerance, not the nearest index.
    return TruncToInt((m_dBandwidth - 0.05) / 0.01 + 0.05);
}

void CFilter::SetGainOnlyLabel(int gainOnly) {
    std::lock_guard lock(g_csModel);
    m_bGainOnly = gainOnly;
    UpdateHandles();
}

void CFilter::SetFreq(int hz, int fromUser) {
    std::lock_guard lock(g_csModel);
    if (!fromUser) {
        m_nFreq = hz;
        m_nSentFreq = hz;
        UpdateGeometry();
        ComputeResponse();
        return;
    }
    // 64-bit quotients: loaded values may be anything a 32-bit field holds.
    const long long target = hz;
    m_nFreq = hz;
    if (IsBand()) {
        if (!g_bOnline)
            m_nSentFreq = hz;
        if (m_nSentFreq == 0)
            m_nSentFreq = 20;
        const long long sent = m_nSentFreq;
        // A move within one octave goes out at once, in either direction.
        bool withinOctave = target >= sent ? target / sent < 2 : static_cast<double>(target) / sent >= 0.5;
        if (withinOctave)
            m_nSentFreq = hz;
        UpdateHandles();
    } else {
        if (m_pLinkedSlider)
            m_pLinkedSlider->OnFilterFrequencySet(hz);
        if (m_nSentFreq == 0)
            m_nSentFreq = 20;
        const long long sent = m_nSentFreq;
        // Only upward within an octave; a lowered corner glides.
        if (target >= sent && target / sent < 2)
            m_nSentFreq = hz;
        if (!g_bOnline)
            m_nSentFreq = m_nFreq;
        UpdateCrossoverMarker();
    }
    ComputeResponse();
    MarkChanged();
}

void CFilter::SetGainIndex(int index) {
    std::lock_guard lock(g_csModel);
    m_dGain = index * 0.1 - 20.0;
    if (m_dGain == 0.0) {
        m_bFlat = 1;
    } else {
        m_bFlat = 0;
        m_bBypass = 0;
    }
    if (IsBand())
        UpdateHandles();
    ComputeResponse();
    MarkChanged();
}

void CFilter::SetBandwidthIndex(int index) {
    std::lock_guard lock(g_csModel);
    m_dBandwidth = index * 0.01 + 0.05;
    if (IsBand())
        UpdateBandwidthHandles();
    ComputeResponse();
    MarkChanged();
}

void CFilter::SetSlope(int slope, int mark) {
    std::lock_guard lock(g_csModel);
    m_nSlope = slope;
    ComputeResponse();
    if (mark)
        MarkChanged();
}

void CFilter::SetFamily(int family, int mark) {
    std::lock_guard lock(g_csModel);
    m_nFamily = family;
    ComputeResponse();
    if (mark)
        MarkChanged();
}

void CFilter::SetType(int type) {
    std::lock_guard lock(g_csModel);
    m_nType = type;
    if (type == LowPass)
        m_nSentFreq = 20000;
    ComputeResponse();
    MarkChanged();
}

void CFilter::SetFlat(int flat) {
    std::lock_guard lock(g_csModel);
    if (m_bBypass) {
        m_bBypass = 0;
        if (m_dGain == 0.0)
            return;
    } else if (flat == m_bFlat || m_dGain == 0.0) {
        return;
    }
    m_bFlat = flat;
    if (!flat)
        m_bBypass = 0;
    UpdateGeometry();
    ComputeResponse();
    MarkChanged();
}

void CFilter::SetBypass(int bypass) {
    std::lock_guard lock(g_csModel);
    if (bypass) {
        m_bSavedBypass = m_bBypass;
        m_bBypass = bypass;
    } else {
        m_bBypass = m_bSavedBypass;
    }
    if (!m_bFlat) {
        UpdateGeometry();
        ComputeResponse();
    }
}

void CFilter::Reset(int hz) {
    std::lock_guard lock(g_csModel);
    m_nFreq = hz;
    m_nSentFreq = hz;
    m_dBandwidth = 0.57;
    m_dGain = 0.0;
    m_bFlat = 1;
    UpdateHandles();
    ComputeResponse();
}

void CFilter::StepSentFreq(int keep) {
    std::lock_guard lock(g_csModel);
    if (m_nSentFreq == m_nFreq) {
        m_bChanged = keep;
        return;
    }
    if (m_nSentFreq <= 0 || m_nFreq <= 0) {
        // No octave to step along from or to; send the target as it is.
        m_nSentFreq = m_nFreq;
    } else if (m_nFreq / m_nSentFreq >= 2) {
        m_nSentFreq *= 2;
    } else if (static_cast<double>(m_nFreq) / m_nSentFreq <= 0.5) {
        m_nSentFreq /= 2;
    } else {
        m_nSentFreq = m_nFreq;
    }
    m_bChanged = 1;
}

void CFilter::CopyFrom(const CFilter& source) {
    std::lock_guard lock(g_csModel);
    m_nType = source.m_nType;
    // The crossover corners stay with their channel.
    if (m_nType != HighPass && m_nType != LowPass) {
        m_nFreq = source.m_nFreq;
        m_nSentFreq = source.m_nFreq;
        m_nFamily = source.m_nFamily;
        m_nSlope = source.m_nSlope;
    }
    m_dGain = source.m_dGain;
    m_bFlat = source.m_bFlat;
    m_bBypass = source.m_bBypass;
    m_dBandwidth = source.m_dBandwidth;
    UpdateGeometry();
    ComputeResponse();
}

void CFilter::Serialize(CArchive& ar) {
    std::lock_guard lock(g_csModel);
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_nType << m_nFreq << m_nSentFreq << m_dGain << m_bBypass << m_bFlat << m_dBandwidth
           << m_nFamily << m_nSlope << m_nBandNo;
    } else {
        ar >> m_nType >> m_nFreq >> m_nSentFreq >> m_dGain >> m_bBypass >> m_bFlat >> m_dBandwidth >>
            m_nFamily >> m_nSlope >> m_nBandNo;
    }
    UpdateGeometry();
    ComputeResponse();
}

// ---- Flags the change tracker takes ------------------------------------------------------

void CFilter::SetSentFreq(int hz) {
    std::lock_guard lock(g_csModel);
    m_nSentFreq = hz;
}
