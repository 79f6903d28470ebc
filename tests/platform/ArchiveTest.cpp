#include "platform/sys/Archive.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

std::vector<BYTE> Bytes(const std::ostringstream& out) {
    const std::string s = out.str();
    return {s.begin(), s.end()};
}

std::istringstream Stream(const std::vector<BYTE>& bytes) {
    return std::istringstream(std::string(bytes.begin(), bytes.end()));
}

} // namespace

TEST(Archive, StoresLittleEndianValuesAndReadsThemBack) {
    std::ostringstream out;
    {
        CArchive ar(out);
        EXPECT_TRUE(ar.IsStoring());
        ar << BYTE(0xAB) << WORD(0x1234) << int(-2) << 1.5;
    }
    const std::vector<BYTE> expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F};
    EXPECT_EQ(Bytes(out), expected);

    auto in = Stream(expected);
    CArchive ar(in);
    EXPECT_TRUE(ar.IsLoading());
    BYTE b = 0;
    WORD w = 0;
    int i = 0;
    double d = 0;
    ar >> b >> w >> i >> d;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(d, 1.5);
}

TEST(Archive, StringsCarryTheirLengthPrefixAndGbkBytes) {
    struct Case {
        CString text;
        std::vector<BYTE> prefix; // length prefix and the first text bytes
        std::size_t total;
    };
    const Case cases[] = {
        {"", {0x00}, 1},
        {"TALQ500_Map", {0x0B, 'T', 'A', 'L', 'Q'}, 12},
        {"提示", {0x04, 0xCC, 0xE1, 0xCA, 0xBE}, 5},
        {CString(254, 'x'), {0xFE, 'x'}, 255},
        {CString(255, 'y'), {0xFF, 0xFF, 0x00, 'y'}, 258},
        {CString(300, 'z'), {0xFF, 0x2C, 0x01, 'z'}, 303},
        {CString(0xFFFE, 'w'), {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00, 'w'}, 0xFFFE + 7},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        CArchive(out) << c.text;
        const auto bytes = Bytes(out);
        ASSERT_EQ(bytes.size(), c.total) << c.text.size();
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.text.size();

        auto in = Stream(bytes);
        CString back = "junk";
        CArchive(in) >> back;
        EXPECT_EQ(back, c.text);
    }
}

TEST(Archive, ShortArchiveFailsAtEveryCutWithoutReadingPastTheEnd) {
    std::ostringstream out;
    CArchive(out) << CString("TALQ500_Map") << BYTE(7) << WORD(1500) << int(9) << 2.25 << CString(300, 'q');
    const auto full = Bytes(out);

    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        auto in = Stream(std::vector<BYTE>(full.begin(), full.begin() + cut));
        CArchive ar(in);
        CString magic, tail;
        BYTE b;
        WORD w;
        int i;
        double d;
        try {
            ar >> magic >> b >> w >> i >> d >> tail;
            ADD_FAILURE() << "no failure with " << cut << " of " << full.size() << " bytes";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << cut;
        }
    }
}

TEST(Archive, RefusesStringFormsItCannotHonour) {
    // A 32-bit length far beyond the data: fails at the end, without trying
    // to hold four gigabytes first.
    {
        auto in = Stream({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
        CString s;
        EXPECT_THROW(CArchive(in) >> s, CArchiveException);
    }
    // The wide-string marker.
    {
        auto in = Stream({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0});
        CString s;
        try {
            CArchive(in) >> s;
            ADD_FAILURE();
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badString);
        }
    }
    // Bytes that are not GBK text: read as they are they could never be
    // stored again.
    for (std::vector<BYTE> bytes : {std::vector<BYTE>{0x02, 0x81, 0x20}, std::vector<BYTE>{0x01, 0xFF}}) {
        auto in = Stream(bytes);
        CString s;
        EXPECT_THROW(CArchive(in) >> s, CArchiveException);
    }
    // A text GBK cannot encode is not stored as something else.
    {
        std::ostringstream out;
        EXPECT_THROW(CArchive(out) << CString("\xF0\x9F\x98\x80"), CArchiveException);
        EXPECT_TRUE(out.str().empty());
    }
}
