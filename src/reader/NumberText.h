// The number texts of the report: integers, "%-.6g" reals and "%10f" reals, with the user's
// decimal separator. Formatting never consults a process-wide locale: the separator is chosen
// once and carried by the NumberText object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexlor {

// The decimal separator of the user's numeric locale settings (LC_ALL, LC_NUMERIC, LANG), or "."
// when none is set or the named locale is not installed. Reads the environment, not the
// process's current locale, so a library that changed the locale does not matter.
std::string DecimalSeparatorFromEnvironment();

class NumberText {
  public:
    explicit NumberText(std::string decimalSeparator = ".");

    const std::string& DecimalSeparator() const { return separator_; }

    // Appenders: the report builds its lines in a reused buffer.
    static void AppendInt(std::string& out, int64_t n);
    // "%-.6g" of a single: 6 significant digits, trailing zeros dropped, exponent as "E6", "E-5".
    void AppendFloat(std::string& out, float x) const;
    // "%10f": two decimals, right-aligned in at least 10 characters.
    void AppendFixed(std::string& out, float x, int width = 10) const;
    // Eight spaces, x, nine spaces, y, nine spaces, z, each as "%10f".
    void AppendTriple(std::string& out, float x, float y, float z) const;

    static std::string IntText(int64_t n);
    std::string FloatText(float x) const;
    std::string FixedText(float x, int width = 10) const;
    std::string TripleText(float x, float y, float z) const;

  private:
    // Appends text formatted with "." and swaps in the separator.
    void AppendWithSeparator(std::string& out, std::string_view text) const;

    std::string separator_;
};

// Appends `text` right-aligned in `width` characters (never cut), as "%Ns" does.
void AppendRightAligned(std::string& out, std::string_view text, int width);

}  // namespace vexlor
