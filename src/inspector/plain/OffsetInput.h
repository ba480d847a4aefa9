// "Go to offset": the offset a user typed, as a decimal number or as 0x and hex digits, checked
// against the file's size, with a message that says what is wrong when it is no offset of the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexlor::app {

struct OffsetInput {
    int64_t Offset = -1;
    std::string Error;  // empty when Offset is a byte of the file
    bool Ok() const { return Error.empty(); }
};

OffsetInput ParseOffset(std::string_view text, int64_t fileSize);

}  // namespace vexlor::app
