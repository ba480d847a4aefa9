// Small pieces of reading what the user typed into the search and offset bars.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace vexlor::inspector {

// The text without the white space around it.
inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// Whether the text starts with "0x" or "0X".
inline bool StartsWithHexPrefix(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// The text in double quotes, as the bars' messages quote what was typed.
inline std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

}  // namespace vexlor::inspector
