// The GBK codec fed any bytes: a field always reads as valid UTF-8, and what
// it reads as stores back into a field of the same size.

#include "FuzzCheck.h"
#include "platform/sys/Gbk.h"

#include <QString>

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = platform::GbkFieldToUtf8(data, size);
    const QString decoded = QString::fromUtf8(text.data(), qsizetype(text.size()));
    FUZZ_REQUIRE(decoded.toUtf8().toStdString() == text);

    // Any text either fits a field whole, zero-padded with its last byte 0,
    // or leaves the field untouched.
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<BYTE> field(16, 0xA5);
    if (platform::StoreGbkField(input, field.data(), field.size())) {
        FUZZ_REQUIRE(field.back() == 0);
        const auto length = platform::GbkLength(input);
        FUZZ_REQUIRE(length && *length < field.size());
    } else {
        FUZZ_REQUIRE(std::vector<BYTE>(16, 0xA5) == field);
    }
    return 0;
}
