// Hex search patterns and the byte search.
#include "inspector/plain/HexPattern.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <functional>

#include "inspector/plain/TypedText.h"

namespace vexlor::inspector {

namespace {

// "0x" with at least one digit after it.
bool HasHexPrefix(std::string_view text) {
    return text.size() > 2 && StartsWithHexPrefix(text);
}

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

Expected<std::vector<uint8_t>> ParseBytes(std::string_view text) {
    std::vector<uint8_t> pattern;
    size_t at = 0;
    while (at < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[at]))) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        std::string_view token = text.substr(at, end - at);
        at = end;
        if (HasHexPrefix(token)) token.remove_prefix(2);
        const bool hex = std::all_of(token.begin(), token.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        });
        if (!hex || (token.size() % 2 != 0 && token.size() != 1)) {
            return Result::Failure(Quoted(token) +
                                   " is not hex bytes: type pairs of hex digits, like 3F 80 00 00");
        }
        for (size_t i = 0; i < token.size(); i += 2) {
            const size_t digits = std::min<size_t>(2, token.size() - i);
            uint8_t byte = 0;
            std::from_chars(token.data() + i, token.data() + i + digits, byte, 16);
            pattern.push_back(byte);
        }
    }
    return pattern;
}

Expected<std::vector<uint8_t>> ParseInt32(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    std::string_view digits =
        negative || (!text.empty() && text.front() == '+') ? text.substr(1) : text;
    const int base = HasHexPrefix(digits) ? 16 : 10;
    if (base == 16) digits.remove_prefix(2);
    uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (digits.empty() || end != digits.data() + digits.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range))
        return Result::Failure(Quoted(text) + " is not a whole number");
    const bool fits = error == std::errc() &&
                      (negative ? magnitude <= 0x80000000ull : magnitude <= 0xFFFFFFFFull);
    if (!fits) return Result::Failure(Quoted(text) + " does not fit in 32 bits");
    const auto bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    std::vector<uint8_t> pattern;
    PutLittleEndian(pattern, bits);
    return pattern;
}

Expected<std::vector<uint8_t>> ParseSingle(std::string_view text) {
    std::string number(text);
    if (number.find('.') == std::string::npos) std::replace(number.begin(), number.end(), ',', '.');
    std::string_view digits = number;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || end != digits.data() + digits.size() ||
        error == std::errc::invalid_argument)
        return Result::Failure(Quoted(text) + " is not a number");
    if (error == std::errc::result_out_of_range)
        return Result::Failure(Quoted(text) + " is beyond the range of a single");
    std::vector<uint8_t> pattern;
    PutLittleEndian(pattern, std::bit_cast<uint32_t>(value));
    return pattern;
}

}  // namespace

Expected<std::vector<uint8_t>> ParseHexPattern(std::string_view text, HexSearchKind kind) {
    text = Trim(text);
    if (text.empty()) {
        switch (kind) {
            case HexSearchKind::kBytes:
                return Result::Failure("Type the bytes to find in hex, like 3F 80 00 00");
            case HexSearchKind::kInt32:
                return Result::Failure("Type a whole number to find as an int32");
            case HexSearchKind::kSingle:
                return Result::Failure("Type a number to find as a single");
        }
    }
    switch (kind) {
        case HexSearchKind::kBytes:
            return ParseBytes(text);
        case HexSearchKind::kInt32:
            return ParseInt32(text);
        case HexSearchKind::kSingle:
            return ParseSingle(text);
    }
    return std::vector<uint8_t>();
}

HexHit FindForward(std::span<const uint8_t> bytes, std::span<const uint8_t> pattern, int64_t from) {
    const auto size = static_cast<int64_t>(bytes.size());
    const auto m = static_cast<int64_t>(pattern.size());
    if (m == 0 || m > size) return {};
    from = std::clamp<int64_t>(from, 0, size);
    const std::boyer_moore_horspool_searcher searcher(pattern.begin(), pattern.end());
    const auto at = std::search(bytes.begin() + from, bytes.end(), searcher);
    if (at != bytes.end()) return {at - bytes.begin(), false};
    // From the start, up to the last occurrence that could start before `from`.
    const auto wrapEnd = bytes.begin() + std::min(size, from + m - 1);
    const auto wrapped = std::search(bytes.begin(), wrapEnd, searcher);
    if (wrapped != wrapEnd) return {wrapped - bytes.begin(), true};
    return {};
}

HexHit FindBackward(std::span<const uint8_t> bytes, std::span<const uint8_t> pattern,
                    int64_t from) {
    const auto size = static_cast<int64_t>(bytes.size());
    const auto m = static_cast<int64_t>(pattern.size());
    if (m == 0 || m > size) return {};
    from = std::clamp<int64_t>(from, -1, size - m);
    const auto before = bytes.begin() + (from + m);
    if (from >= 0) {
        const auto at = std::find_end(bytes.begin(), before, pattern.begin(), pattern.end());
        if (at != before) return {at - bytes.begin(), false};
    }
    const auto after = bytes.begin() + std::max<int64_t>(0, from + 1);
    const auto wrapped = std::find_end(after, bytes.end(), pattern.begin(), pattern.end());
    if (wrapped != bytes.end()) return {wrapped - bytes.begin(), true};
    return {};
}

}  // namespace vexlor::inspector
