#include "platform/sys/Archive.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Archive, StoresLittleEndianValuesAndLengthPrefixedStrings) {
    std::vector<BYTE> bytes;
    CArchive out(bytes, CArchive::store);
    out << CString("TALQ500_Map") << BYTE(7) << WORD(0x1234) << -2 << 0.5;
    const std::vector<BYTE> expected = {11,   'T', 'A', 'L', 'Q',  '5',  '0',  '0',  '_',
                                        'M',  'a', 'p', 7,   0x34, 0x12, 0xFE, 0xFF, 0xFF,
                                        0xFF, 0,   0,   0,   0,    0,    0,    0xE0, 0x3F};
    EXPECT_EQ(bytes, expected);

    CArchive in(bytes, CArchive::load);
    CString magic;
    BYTE b = 0;
    WORD w = 0;
    int i = 0;
    double d = 0;
    in >> magic >> b >> w >> i >> d;
    EXPECT_EQ(magic, "TALQ500_Map");
    EXPECT_EQ(b, 7);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(d, 0.5);
    EXPECT_THROW(in >> b, CArchiveException);
}

TEST(Archive, LongStringsEscapeTheirLength) {
    for (std::size_t n : {254u, 255u, 300u, 70000u}) {
        std::vector<BYTE> bytes;
        CArchive out(bytes, CArchive::store);
        out << CString(n, 'x');
        EXPECT_EQ(bytes.size(), n + (n < 255 ? 1 : n < 0xFFFE ? 3 : 7)) << n;
        CArchive in(bytes, CArchive::load);
        CString back;
        in >> back;
        EXPECT_EQ(back.size(), n);
    }
}

TEST(Archive, TruncatedStringReportsEndOfFile) {
    std::vector<BYTE> bytes = {5, 'a', 'b'};
    CArchive in(bytes, CArchive::load);
    CString text;
    EXPECT_THROW(in >> text, CArchiveException);
}

} // namespace
