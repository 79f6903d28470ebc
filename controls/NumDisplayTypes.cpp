#include "controls/NumDisplayTypes.h"

#include "model/DataDefine.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kSamplePeriodMs = 0.020833333333333332; // one sample at 48 kHz
constexpr double kCmPerMs = 34.0;
constexpr double kInchPerMs = 13.4;
constexpr double kLongestDelayMs = 8.0;
constexpr char kOffEnglish[] = "OFF";
constexpr char kOffChinese[] = "关闭";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Steps over one '+' or '-' at i; true when it was a minus.
bool TakeSign(std::string_view text, size_t& i) {
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

bool IsOffText(const CString& text) {
    return text == kOffEnglish || text == kOffChinese;
}

CString OffText(bool chinese) {
    return chinese ? kOffChinese : kOffEnglish;
}

CString Fixed(double number, int decimals) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, decimals);
    return r.ec == std::errc() ? CString(buffer, r.ptr) : CString("0");
}

int Bound(long long v, int lo, int hi) {
    if (lo > hi)
        std::swap(lo, hi);
    return int(std::clamp<long long>(v, lo, hi));
}

int BoundDouble(double v, int lo, int hi) {
    return Bound(TruncToInt(v), lo, hi);
}

// Delay types: milliseconds of the shown figure, read with the factors the
// display writes with, so that a shown delay typed back lands on itself.
std::optional<int> ReadDelay(const NumDisplayFields& f, const CString& text) {
    const auto x = ReadLeadingNumber(text);
    if (!x)
        return std::nullopt;
    double ms = *x;
    if (f.type == 1)
        ms = *x / kCmPerMs;
    else if (f.type == 2)
        ms = *x / kInchPerMs;
    if (ms < 0)
        return f.type == 0 ? f.minimum : Bound(0, f.minimum, f.maximum);
    if (ms >= kLongestDelayMs)
        return f.maximum;
    return BoundDouble(ms / kSamplePeriodMs + 0.5, f.minimum, f.maximum);
}

// The shown number of a scaled type's text, bounded to the range; nullopt
// when the text names no number or the scale cannot map it back.
std::optional<int> ReadScaled(const NumDisplayFields& f, const CString& text) {
    if (f.step == 0.0 || !std::isfinite(f.step) || !std::isfinite(f.offset))
        return std::nullopt;
    const double a = f.minimum * f.step - f.offset;
    const double b = f.maximum * f.step - f.offset;
    const double lo = std::min(a, b), hi = std::max(a, b);
    double x = 0;
    if (IsOffText(text)) {
        x = f.type == 25 ? -60.0 : f.type == 10 ? -DBL_MAX : -100.0;
    } else {
        const auto n = ReadLeadingNumber(text);
        if (!n)
            return std::nullopt;
        x = *n;
    }
    x = std::clamp(x, lo, hi);
    // Scaled by ten on both sides and nudged up, so that a figure shown with
    // one decimal does not truncate to the value below (-59.7 is 2.99999...).
    const double v = (x + f.offset) * 10 / (f.step * 10) + 1e-9;
    return BoundDouble(v, f.minimum, f.maximum);
}

std::optional<int> ReadQ(const NumDisplayFields& f, const CString& text, bool bound) {
    const auto n = ReadLeadingNumber(text);
    if (!n)
        return std::nullopt;
    double x = *n;
    const double lo = g_QTable[kQTableSize - 1], hi = g_QTable[0];
    if (!bound && (x < lo || x > hi))
        return std::nullopt;
    x = std::clamp(x, lo, hi);
    return Bound(QToIndex(x), f.minimum, f.maximum);
}

std::optional<int> ReadPhase(const NumDisplayFields& f, const CString& text) {
    const auto a = ReadLeadingInteger(text);
    if (!a)
        return std::nullopt;
    return Bound(std::clamp(*a, 0, 360) / 2 + 20, f.minimum, f.maximum);
}

} // namespace

std::optional<double> ReadLeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const bool negative = TakeSign(text, i);
    const size_t body = i;
    int intDigits = 0, leadingZeros = 0, fracDigits = 0;
    bool significant = false;
    while (i < text.size() && IsDigit(text[i])) {
        significant = significant || text[i] != '0';
        intDigits += significant ? 1 : 0;
        ++i;
    }
    const size_t intEnd = i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            if (!significant && text[i] == '0')
                ++leadingZeros;
            significant = significant || text[i] != '0';
            ++fracDigits;
            ++i;
        }
    }
    if (intEnd == body && fracDigits == 0)
        return std::nullopt; // no digit at all
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        const bool expNegative = TakeSign(text, j);
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                exponent = std::min<long long>(exponent * 10 + (text[j] - '0'), 100000);
                ++j;
            }
            if (expNegative)
                exponent = -exponent;
            i = j;
        }
    }
    double value = 0;
    const auto r = std::from_chars(text.data() + body, text.data() + i, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow by the decimal magnitude.
        const long long magnitude = (intDigits > 0 ? intDigits : -leadingZeros) + exponent;
        value = magnitude > 0 ? DBL_MAX : 0.0;
    } else if (r.ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<int> ReadLeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const bool negative = TakeSign(text, i);
    if (i >= text.size() || !IsDigit(text[i]))
        return std::nullopt;
    long long v = 0;
    while (i < text.size() && IsDigit(text[i])) {
        v = std::min<long long>(v * 10 + (text[i] - '0'), 1LL << 40);
        ++i;
    }
    if (negative)
        v = -v;
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

double RoundHalfUp(double number, int decimals) {
    if (decimals < 0)
        decimals = 0;
    for (int i = 0; i <= decimals; ++i)
        number *= 10;
    long long k = std::isfinite(number) ? (long long)std::clamp(number, -9.0e18, 9.0e18) : 0;
    const long long r = k % 10;
    k -= r;
    if (r >= 5)
        k += 10;
    double out = double(k);
    for (int i = 0; i <= decimals; ++i)
        out /= 10;
    return out;
}

std::optional<CString> FormatNumValue(const NumDisplayFields& f, int& value, bool chinese) {
    switch (f.type) {
    case 0:
    case 1:
    case 2: {
        const double ms = RoundHalfUp(value * kSamplePeriodMs, 3);
        if (f.type == 0)
            return Fixed(ms, 3);
        return Fixed(ms * (f.type == 1 ? kCmPerMs : kInchPerMs), 2);
    }
    case 4:
        return std::to_string(value);
    case 8:
        return std::to_string(value) + "Hz";
    case 10:
    case 23:
    case 24:
    case 25: {
        const double shown = value * f.step - f.offset;
        const bool off =
            (f.type == 23 && value == 20) || ((f.type == 24 || f.type == 25) && value == f.minimum);
        if (off)
            return OffText(chinese);
        if (f.type == 10)
            return Fixed(shown, 1);
        return Fixed(shown, f.type == 25 ? 0 : 1) + "dB";
    }
    case 11:
        if (value < 0 || value >= kQTableSize)
            return std::nullopt;
        return Fixed(g_QTable[value], 3);
    case 33:
        value = Bound(value, f.minimum, f.maximum);
        return std::to_string(value);
    case 34:
        value = Bound(value, f.minimum, f.maximum);
        return std::to_string((static_cast<long long>(value) - f.minimum) * 2) + "°";
    default:
        return std::nullopt;
    }
}

NumCommit CommitNumText(const NumDisplayFields& f, int value, const CString& text, bool dirty) {
    NumCommit out{value, false, false};
    std::optional<int> read;
    switch (f.type) {
    case 0:
    case 1:
    case 2:
        if (!dirty)
            return out;
        read = ReadDelay(f, text);
        break;
    case 4:
    case 8: {
        // Re-read on every exit, typed or not; only typing is told.
        if (text == kOffEnglish)
            return out;
        const auto n = ReadLeadingInteger(text);
        if (n)
            out.value = Bound(*n, f.minimum, f.maximum);
        out.rewrite = dirty;
        out.notify = dirty && n.has_value();
        return out;
    }
    case 10:
    case 23:
    case 24:
    case 25:
        if (!dirty)
            return out;
        read = ReadScaled(f, text);
        break;
    case 11:
        if (!dirty)
            return out;
        read = ReadQ(f, text, true);
        break;
    case 33:
        if (!dirty)
            return out;
        if (const auto n = ReadLeadingInteger(text))
            read = Bound(*n, f.minimum, f.maximum);
        break;
    case 34:
        if (!dirty)
            return out;
        read = ReadPhase(f, text);
        break;
    default:
        return out;
    }
    // Typed text without a number shows the value again and tells nobody.
    out.rewrite = true;
    if (read) {
        out.value = *read;
        out.notify = true;
    }
    return out;
}

int ParseNumText(const NumDisplayFields& f, int value, const CString& text) {
    std::optional<int> read;
    switch (f.type) {
    case 0:
    case 1:
    case 2:
        read = ReadDelay(f, text);
        break;
    case 4:
    case 8:
        if (const auto n = ReadLeadingInteger(text); n && *n >= f.minimum && *n <= f.maximum)
            read = *n;
        break;
    case 10:
    case 23:
    case 24:
    case 25:
        read = ReadScaled(f, text);
        break;
    case 11:
        read = ReadQ(f, text, false);
        break;
    case 33:
        if (const auto n = ReadLeadingInteger(text))
            read = Bound(*n, f.minimum, f.maximum);
        break;
    case 34:
        read = ReadPhase(f, text);
        break;
    default:
        break;
    }
    return read.value_or(value);
}
