#include "platform/sys/Gbk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {

namespace {

// iconv descriptors carry shift state, so each conversion opens its own.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in, bool lenient) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.resize(in.size() * 4 + 8);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (!lenient || (errno != EILSEQ && errno != EINVAL)) {
            ok = false;
            break;
        }
        // Replace the undecodable byte and go on with the next one.
        static constexpr char kReplacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3) {
            ok = false;
            break;
        }
        std::memcpy(outPtr, kReplacement, 3);
        outPtr += 3;
        outLeft -= 3;
        ++inPtr;
        --inLeft;
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    return Convert("GBK", "UTF-8", utf8, false);
}

std::optional<std::size_t> GbkLength(std::string_view utf8) {
    auto gbk = Utf8ToGbk(utf8);
    if (!gbk)
        return std::nullopt;
    return gbk->size();
}

std::string GbkFieldToUtf8(const BYTE* field, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(field);
    const auto* end = std::find(begin, begin + size, '\0');
    return Convert("UTF-8", "GBK", std::string_view(begin, static_cast<std::size_t>(end - begin)), true)
        .value_or(std::string());
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    return Convert("UTF-8", "GBK", gbk, false);
}

bool StoreGbkField(std::string_view utf8, BYTE* field, std::size_t size) {
    if (size == 0)
        return false;
    auto gbk = Utf8ToGbk(utf8);
    if (!gbk || gbk->size() > size - 1)
        return false;
    std::memset(field, 0, size);
    std::memcpy(field, gbk->data(), gbk->size());
    return true;
}

} // namespace platform
