// Reading a typed offset.
#include "inspector/plain/OffsetInput.h"

#include <charconv>

#include "inspector/plain/TypedText.h"

namespace vexlor::inspector {

Expected<int64_t> ParseOffset(std::string_view text, int64_t fileSize) {
    text = Trim(text);
    if (text.empty())
        return Result::Failure("Type an offset: a decimal number, or 0x and hex digits");
    const std::string quoted = Quoted(text);
    if (text.front() == '-')
        return Result::Failure(quoted + " is not an offset: offsets start at 0");
    std::string_view digits = text;
    int base = 10;
    if (StartsWithHexPrefix(digits)) {
        digits.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || end != digits.data() + digits.size() ||
        error == std::errc::invalid_argument)
        return Result::Failure(quoted +
                               " is not an offset: type a decimal number, or 0x and hex digits");
    const std::string size = std::to_string(fileSize);
    if (fileSize <= 0) return Result::Failure("The file is empty: there is no offset to go to");
    if (error == std::errc::result_out_of_range || value >= static_cast<uint64_t>(fileSize)) {
        return Result::Failure("Offset " + std::string(text) +
                               " is past the end of the file: it is " + size +
                               " bytes long, its last offset is " + std::to_string(fileSize - 1));
    }
    return static_cast<int64_t>(value);
}

}  // namespace vexlor::inspector
