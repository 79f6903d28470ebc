#include "platform/sys/Gbk.h"

#include <array>
#include <gtest/gtest.h>

using platform::GbkFieldToUtf8;
using platform::StoreGbkField;

TEST(Gbk, FieldLimitCountsEncodedBytes) {
    struct Case {
        const char* text;
        std::size_t fieldSize;
        bool fits;
    };
    // "提示" is two characters but four GBK bytes.
    const Case cases[] = {
        {"", 16, true},     {"abcdefghijklmno", 16, true}, {"abcdefghijklmnop", 16, false}, {"提示", 5, true},
        {"提示", 4, false}, {"提示x", 5, false},
    };
    for (const auto& c : cases) {
        std::array<BYTE, 16> field;
        field.fill(0xAB);
        EXPECT_EQ(StoreGbkField(c.text, field.data(), c.fieldSize), c.fits) << c.text;
        if (c.fits) {
            EXPECT_EQ(GbkFieldToUtf8(field.data(), c.fieldSize), c.text);
            EXPECT_EQ(field[c.fieldSize - 1], 0);
        } else {
            EXPECT_EQ(field[0], 0xAB) << "a refused text must leave the field untouched";
        }
    }
}

TEST(Gbk, ReadsStopAtTheFieldEndWithoutTerminator) {
    const BYTE field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(GbkFieldToUtf8(field, 3), "abc");
}

TEST(Gbk, InvalidBytesDoNotStopTheText) {
    const BYTE field[4] = {'a', 0xFF, 'b', 0};
    EXPECT_EQ(GbkFieldToUtf8(field, 4), "a\xEF\xBF\xBD"
                                        "b");
}
