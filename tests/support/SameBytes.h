// Whole outputs and files compared in a test: by size and digest first, and where they differ only
// the first difference is shown (its line in a text, its offset and bytes in hex otherwise), so
// that a runaway output or a binary file costs neither memory twice nor a log of megabytes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace vexlor::testing {

inline ::testing::AssertionResult SameBytes(const std::string& actual,
                                            const std::string& expected) {
    const std::hash<std::string_view> digest;
    if (actual.size() == expected.size() && digest(actual) == digest(expected) &&
        actual == expected)
        return ::testing::AssertionSuccess();
    const auto [at, _] =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const auto offset = static_cast<size_t>(at - actual.begin());
    const size_t start = offset == 0 ? 0 : actual.rfind('\n', offset - 1) + 1;
    const auto line = [start](const std::string& text) {
        if (start >= text.size()) return std::string("(the end)");
        return text.substr(start, std::min<size_t>(text.find('\n', start) - start, 200));
    };
    const auto isText = [](const std::string& shown) {
        return std::all_of(shown.begin(), shown.end(), [](char c) {
            return c == '\t' || c == '\r' || static_cast<unsigned char>(c) >= 0x20;
        });
    };
    ::testing::AssertionResult failure = ::testing::AssertionFailure()
                                         << actual.size() << " bytes against " << expected.size()
                                         << " expected; first difference ";
    if (isText(line(actual)) && isText(line(expected)))
        return failure << "in line " << std::count(actual.begin(), at, '\n') + 1
                       << ":\n  got:      " << line(actual) << "\n  expected: " << line(expected);
    // Bytes that are not text: the 16 from the difference, in hex.
    const auto hex = [offset](const std::string& bytes) {
        if (offset >= bytes.size()) return std::string("(the end)");
        std::string shown;
        char two[4];
        for (size_t k = offset; k < std::min(bytes.size(), offset + 16); ++k) {
            std::snprintf(two, sizeof two, "%02x ", static_cast<unsigned char>(bytes[k]));
            shown += two;
        }
        return shown;
    };
    return failure << "at offset " << offset << ":\n  got:      " << hex(actual)
                   << "\n  expected: " << hex(expected);
}

}  // namespace vexlor::testing
