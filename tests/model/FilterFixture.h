#pragma once

// A filter on a 600 x 240 plot (10 pixels per dB) inside a graph whose plot
// starts at (40, 10), with the online and language flags restored after
// each test.

#include "model/Filter.h"
#include "model/Globals.h"

#include <gtest/gtest.h>

#include <ostream>

// Failed rectangle comparisons print the edges, not the bytes.
inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

class FilterFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 240;
    static inline const CRect kPlot{40, 10, 40 + kWidth, 10 + kHeight};

    void TearDown() override {
        g_bOnline = m_savedOnline;
        g_bChinese = m_savedChinese;
    }

    // The graph's pixel for a frequency and a gain.
    static CPoint At(int hz, double dB) {
        return {FreqToPos(hz, kWidth) + CFilter::kPlotLeft, GainToPos(dB, kHeight) + CFilter::kPlotTop};
    }

    static void MakeBand(CFilter& f, int type, int hz, int gainIndex, int slope = 0) {
        f.SetType(type);
        f.SetSlope(slope, 0);
        f.SetFreq(hz, 0);
        f.SetGainIndex(gainIndex);
        f.SetGraphRect(kPlot);
    }

    static void MakeCrossover(CFilter& f, int type, int hz, int family, int slope, int dragMode = 9) {
        f.SetHandlesMode(0);
        f.SetType(type);
        f.SetFamily(family, 0);
        f.SetSlope(slope, 0);
        f.SetFreq(hz, 0);
        f.SetDragMode(dragMode);
        f.SetGraphRect(kPlot);
    }

    int m_savedOnline = g_bOnline;
    int m_savedChinese = g_bChinese;
};
