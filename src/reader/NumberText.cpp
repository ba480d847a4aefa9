// Number texts of the report.
#include "reader/NumberText.h"

#include <langinfo.h>
#include <locale.h>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace vexlor {

std::string DecimalSeparatorFromEnvironment() {
    // newlocale with "" resolves LC_ALL / LC_NUMERIC / LANG from the environment without touching
    // the global locale.
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (numeric == static_cast<locale_t>(nullptr)) return ".";
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    std::string separator = (radix != nullptr && *radix != '\0') ? radix : ".";
    freelocale(numeric);
    return separator;
}

NumberText::NumberText(std::string decimalSeparator) : separator_(std::move(decimalSeparator)) {
    if (separator_.empty()) separator_ = ".";
}

void NumberText::AppendInt(std::string& out, int64_t n) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, result.ptr);
}

std::string NumberText::IntText(int64_t n) {
    std::string s;
    AppendInt(s, n);
    return s;
}

static std::string_view NonFiniteText(float x) {
    if (std::isnan(x)) return "NAN";
    return x < 0 ? "-INF" : "INF";
}

void NumberText::AppendWithSeparator(std::string& out, std::string_view text) const {
    if (separator_ == ".") {
        out.append(text);
        return;
    }
    for (char c : text) {
        if (c == '.')
            out.append(separator_);
        else
            out.push_back(c);
    }
}

void NumberText::AppendFloat(std::string& out, float x) const {
    if (!std::isfinite(x)) {
        out.append(NonFiniteText(x));
        return;
    }
    if (x == 0.0f) {
        out.push_back('0');
        return;
    }
    char buffer[48];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 6);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    if (e == std::string_view::npos) {
        AppendWithSeparator(out, text);
        return;
    }
    // "1.23457e+06" becomes "1.23457E6", "5e-05" becomes "5E-5".
    AppendWithSeparator(out, text.substr(0, e));
    out.push_back('E');
    size_t i = e + 1;
    if (text[i] == '-') out.push_back('-');
    if (text[i] == '-' || text[i] == '+') ++i;
    while (i + 1 < text.size() && text[i] == '0')
        ++i;
    out.append(text.substr(i));
}

std::string NumberText::FloatText(float x) const {
    std::string s;
    AppendFloat(s, x);
    return s;
}

void AppendRightAligned(std::string& out, std::string_view text, int width) {
    if (static_cast<int>(text.size()) < width)
        out.append(static_cast<size_t>(width) - text.size(), ' ');
    out.append(text);
}

void NumberText::AppendFixed(std::string& out, float x, int width) const {
    if (!std::isfinite(x)) {
        AppendRightAligned(out, NonFiniteText(x), width);
        return;
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 2);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    // Pad by characters before the separator goes in, so a multi-byte separator keeps the columns.
    if (static_cast<int>(text.size()) < width)
        out.append(static_cast<size_t>(width) - text.size(), ' ');
    AppendWithSeparator(out, text);
}

std::string NumberText::FixedText(float x, int width) const {
    std::string s;
    AppendFixed(s, x, width);
    return s;
}

void NumberText::AppendTriple(std::string& out, float x, float y, float z) const {
    out.append(8, ' ');
    AppendFixed(out, x);
    out.append(9, ' ');
    AppendFixed(out, y);
    out.append(9, ' ');
    AppendFixed(out, z);
}

std::string NumberText::TripleText(float x, float y, float z) const {
    std::string s;
    AppendTriple(s, x, y, z);
    return s;
}

}  // namespace vexlor
