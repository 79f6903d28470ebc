// The display types of the numeric edit as plain tables: no window involved.

#include "controls/NumDisplayTypes.h"
#include "model/DataDefine.h"

#include <gtest/gtest.h>

namespace {

// The live edits' set-ups.
const NumDisplayFields kDelayMs{0, 0, 384}, kDelayCm{1, 0, 384}, kDelayInch{2, 0, 384};
const NumDisplayFields kBandFreq{4, 20, 20000}, kCutFreq{8, 20, 20000};
const NumDisplayFields kBandGain{10, 80, 320, 0.1, 20}, kBandQ{11, 0, 295};
const NumDisplayFields kPageGain{23, 0, 600, 0.1, 60}, kStripGain{24, 0, 600, 0.1, 60};
const NumDisplayFields kMaster{25, 0, 66, 1, 60}, kMix{33, 0, 100, 1, 0}, kPhase{34, 20, 200, 1, 20};

std::string Name(const NumDisplayFields& f) {
    return "type " + std::to_string(f.type);
}

TEST(NumDisplayTypes, ValuesAreWrittenByTheirType) {
    struct Case {
        NumDisplayFields fields;
        int value;
        bool chinese;
        std::optional<CString> text;
        int valueAfter;
    } cases[] = {
        {kDelayMs, 47, false, "0.979", 47},
        {kDelayMs, 1, false, "0.021", 1},
        {kDelayMs, 384, false, "8.000", 384},
        {kDelayCm, 48, false, "34.00", 48},
        {kDelayInch, 384, false, "107.20", 384},
        {kBandFreq, 1000, false, "1000", 1000},
        {kCutFreq, 20000, false, "20000Hz", 20000},
        {kBandGain, 200, false, "0.0", 200},
        {kBandGain, 320, false, "12.0", 320},
        {kBandQ, 0, false, "28.852", 0},
        {kBandQ, 295, false, "0.404", 295},
        {kBandQ, 296, false, std::nullopt, 296}, // no table entry: the text stays
        {kBandQ, -1, false, std::nullopt, -1},
        {kPageGain, 600, false, "0.0dB", 600},
        {kPageGain, 20, false, "OFF", 20}, // the word 20, whatever the range
        {kPageGain, 20, true, "关闭", 20},
        {kPageGain, 0, false, "-60.0dB", 0},
        {kPageGain, 3, false, "-59.7dB", 3},
        {kStripGain, 0, true, "关闭", 0},
        {kStripGain, 477, false, "-12.3dB", 477},
        {kMaster, 66, false, "6dB", 66},
        {kMaster, 0, false, "OFF", 0},
        {kMaster, 54, false, "-6dB", 54},
        {kMix, 150, false, "100", 100}, // bounded into the range first
        {kPhase, 20, false, "0°", 20},
        {kPhase, 200, false, "360°", 200},
        {kPhase, 7, false, "0°", 20},
        {{7, 0, 10}, 5, false, std::nullopt, 5}, // a type without rules
    };
    for (const auto& c : cases) {
        int value = c.value;
        EXPECT_EQ(FormatNumValue(c.fields, value, c.chinese), c.text) << Name(c.fields) << " " << c.value;
        EXPECT_EQ(value, c.valueAfter) << Name(c.fields) << " " << c.value;
    }
}

struct CommitCase {
    NumDisplayFields fields;
    int value;
    CString text;
    bool dirty;
    int committed;
    bool notify;
    bool rewrite;
};

void ExpectCommits(std::initializer_list<CommitCase> cases) {
    for (const auto& c : cases) {
        const NumCommit r = CommitNumText(c.fields, c.value, c.text, c.dirty);
        EXPECT_EQ(r.value, c.committed) << Name(c.fields) << " \"" << c.text << "\"";
        EXPECT_EQ(r.notify, c.notify) << Name(c.fields) << " \"" << c.text << "\"";
        EXPECT_EQ(r.rewrite, c.rewrite) << Name(c.fields) << " \"" << c.text << "\"";
    }
}

TEST(NumDisplayTypes, TypedTextCommitsByItsType) {
    ExpectCommits({
        {kDelayMs, 10, "8", true, 384, true, true},
        {kDelayMs, 10, "9", true, 384, true, true},
        {kDelayMs, 10, "-1", true, 0, true, true},
        {kDelayMs, 10, "0.979", false, 10, false, false}, // untyped: nothing happens
        {kDelayCm, 10, "1000", true, 384, true, true},    // at most 8 ms of travel
        {kCutFreq, 500, "1000Hz", true, 1000, true, true},
        {kCutFreq, 500, "OFF", true, 500, false, false},
        {kBandFreq, 500, "30000", true, 20000, true, true},
        {kBandFreq, 500, "30000", false, 20000, false, false}, // re-read silently
        {kPageGain, 300, "OFF", true, 0, true, true},
        {kPageGain, 300, "关闭", true, 0, true, true},
        {kStripGain, 300, "-12.3", true, 477, true, true},
        {kMaster, 30, "-5.5", true, 54, true, true},
        {kBandGain, 200, "15", true, 320, true, true},
        {kBandGain, 200, "OFF", true, 80, true, true}, // below the range
        {kBandQ, 100, "100", true, 0, true, true},
        {kBandQ, 100, "0.1", true, 295, true, true},
        {kMix, 50, "150", true, 100, true, true},
        {kPhase, 50, "400", true, 200, true, true},
        {kPhase, 50, "45", true, 42, true, true}, // odd angles lose a degree
        {kPhase, 50, "90°", true, 65, true, true},
    });
}

TEST(NumDisplayTypes, TextWithoutANumberChangesNothingAndTellsNobody) {
    // Read as 0 such text would set a gain edit to 0 dB, full output.
    for (const CString text : {"", "abc", "dB", "  ", "-", ".", "nan", "inf", "-inf", "NaN", "e5"}) {
        for (const auto& fields : {kDelayMs, kDelayCm, kDelayInch, kBandFreq, kCutFreq, kBandGain, kBandQ,
                                   kPageGain, kStripGain, kMaster, kMix, kPhase}) {
            const int value = fields.type == 34                      ? 50
                              : fields.type == 10                    ? 100
                              : fields.type >= 4 && fields.type <= 8 ? 500
                                                                     : 30;
            const NumCommit r = CommitNumText(fields, value, text, true);
            EXPECT_EQ(r.value, value) << Name(fields) << " \"" << text << "\"";
            EXPECT_FALSE(r.notify) << Name(fields) << " \"" << text << "\"";
            EXPECT_TRUE(r.rewrite) << Name(fields) << " \"" << text << "\""; // the value shows again
            EXPECT_EQ(ParseNumText(fields, value, text), value) << Name(fields) << " \"" << text << "\"";
        }
    }
}

TEST(NumDisplayTypes, HostileTextIsBoundedNeverUndefined) {
    NumDisplayFields noStep = kPageGain;
    noStep.step = 0.0;
    NumDisplayFields wide{33, INT_MIN, INT_MAX};
    ExpectCommits({
        {kPageGain, 300, "0x10", true, 600, true, true}, // only "0" is a decimal number
        {kPageGain, 300, "1e999", true, 600, true, true},
        {kPageGain, 300, "-1e999", true, 0, true, true},
        {kPageGain, 300, "1e-999", true, 600, true, true},
        {kDelayMs, 10, "1e999", true, 384, true, true},
        {kDelayMs, 10, "-1e999", true, 0, true, true},
        {kDelayInch, 10, "1e999", true, 384, true, true},
        {kBandFreq, 500, "99999999999", true, 20000, true, true},
        {kBandFreq, 500, "-99999999999", true, 20, true, true},
        {kMix, 50, "99999999999", true, 100, true, true},
        {wide, 0, "99999999999", true, INT_MAX, true, true},
        {wide, 0, "-99999999999", true, INT_MIN, true, true},
        {kPhase, 50, "-99999999999", true, 20, true, true},
        {kBandQ, 100, "1e999", true, 0, true, true},
        {noStep, 300, "-12.3", true, 300, false, true}, // a zero step commits nothing
    });
    EXPECT_EQ(ParseNumText(noStep, 300, "-12.3"), 300);
    EXPECT_EQ(ParseNumText(kPageGain, 300, "1e999"), 600);
    EXPECT_EQ(ReadLeadingNumber("  +1.5e2dB"), 150.0);
    EXPECT_EQ(ReadLeadingNumber("1e+"), 1.0);
    EXPECT_EQ(ReadLeadingInteger("12.9"), 12);
}

TEST(NumDisplayTypes, TheLazyReadNeverTellsAndKeepsOutOfRangeFrequencies) {
    struct Case {
        NumDisplayFields fields;
        int value;
        CString text;
        int read;
    } cases[] = {
        {kDelayMs, 10, "0.979", 47},                                  // what a commit gives
        {kDelayMs, 10, "9", 384},     {kBandFreq, 500, "30000", 500}, // outside the range: stays
        {kBandFreq, 500, "700", 700}, {kPageGain, 300, "OFF", 0},
        {kBandQ, 100, "100", 100}, // outside the table: stays
        {kBandQ, 100, "28.852", 0},   {kMix, 50, "-3", 0},
        {kPhase, 50, "360°", 200},    {{7, 0, 10}, 5, "3", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumText(c.fields, c.value, c.text), c.read)
            << Name(c.fields) << " \"" << c.text << "\"";
}

// A shown value typed back must land on itself: the commit once truncated
// 2.9999999999999716 to 2 and read distances at another speed of sound
// than the one they were shown with.
TEST(NumDisplayTypes, EveryShownNumberCommitsItselfWhenTypedBack) {
    for (const auto& fields :
         {kDelayMs, kDelayCm, kDelayInch, kBandGain, kBandQ, kPageGain, kStripGain, kMaster, kMix, kPhase}) {
        int moved = 0;
        for (int v = fields.minimum; v <= fields.maximum; ++v) {
            int value = v;
            const auto text = FormatNumValue(fields, value, false);
            ASSERT_TRUE(text.has_value());
            if (*text == "OFF")
                continue;
            const NumCommit r = CommitNumText(fields, fields.minimum, *text, true);
            const int lazy = ParseNumText(fields, fields.minimum, *text);
            if (r.value != v || lazy != v) {
                ++moved;
                ADD_FAILURE() << Name(fields) << " value " << v << " shows " << *text << " commits "
                              << r.value << " reads " << lazy;
            }
        }
        EXPECT_EQ(moved, 0) << Name(fields);
    }
}

} // namespace
