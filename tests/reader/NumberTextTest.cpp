// The report's number texts: the worked examples of the report format, non-finite values and the
// decimal separator.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "reader/NumberText.h"

namespace vexlor {
namespace {

TEST(FloatText, FollowsTheSixDigitGeneralFormat) {
    const NumberText numbers;
    const std::pair<float, const char*> cases[] = {
        {0.5f, "0.5"},         {1.0f, "1"},
        {-2.25f, "-2.25"},     {0.0001f, "0.0001"},
        {123456.7f, "123457"}, {1234567.0f, "1.23457E6"},
        {0.00001f, "1E-5"},    {-0.00000035f, "-3.5E-7"},
        {0.0f, "0"},           {0.1f, "0.1"},
        {100000.0f, "100000"}, {1000000.0f, "1E6"},
        {0.00005f, "5E-5"},    {-0.25f, "-0.25"},
        {1e30f, "1E30"},       {-0.0f, "0"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(numbers.FloatText(value), text) << value;
}

TEST(FloatText, NamesInfinityAndNan) {
    const NumberText numbers;
    EXPECT_EQ(numbers.FloatText(std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(numbers.FloatText(-std::numeric_limits<float>::infinity()), "-INF");
    EXPECT_EQ(numbers.FloatText(std::numeric_limits<float>::quiet_NaN()), "NAN");
    EXPECT_EQ(numbers.FloatText(-std::numeric_limits<float>::quiet_NaN()), "NAN");
}

TEST(FixedText, HasTwoDecimalsRightAlignedInTenAndIsNeverCut) {
    const NumberText numbers;
    EXPECT_EQ(numbers.FixedText(1.5f), "      1.50");
    EXPECT_EQ(numbers.FixedText(-12.25f), "    -12.25");
    EXPECT_EQ(numbers.FixedText(0.0f), "      0.00");
    EXPECT_EQ(numbers.FixedText(-0.001f), "     -0.00");  // the C library keeps the sign
    EXPECT_EQ(numbers.FixedText(123456789.0f), "123456792.00");
    EXPECT_EQ(numbers.FixedText(std::numeric_limits<float>::infinity()), "       INF");
}

TEST(TripleText, LaysThreeValuesOutInFiftySixCharacters) {
    const NumberText numbers;
    const std::string text = numbers.TripleText(1.5f, -2.0f, 1000.0f);
    EXPECT_EQ(text, std::string(14, ' ') + "1.50" + std::string(14, ' ') + "-2.00" +
                        std::string(12, ' ') + "1000.00");
    EXPECT_EQ(text.size(), 56u);
}

TEST(IntText, IsPlainDecimal) {
    EXPECT_EQ(NumberText::IntText(-12), "-12");
    EXPECT_EQ(NumberText::IntText(0), "0");
    EXPECT_EQ(NumberText::IntText(305), "305");
    EXPECT_EQ(NumberText::IntText(int64_t{-2147483648LL} - 8), "-2147483656");
}

TEST(DecimalSeparator, IsUsedInBothRealFormatsWithoutShiftingColumns) {
    const NumberText comma(",");
    EXPECT_EQ(comma.FloatText(-2.25f), "-2,25");
    EXPECT_EQ(comma.FloatText(1234567.0f), "1,23457E6");
    EXPECT_EQ(comma.FixedText(1.5f), "      1,50");
    const NumberText wide("\xD9\xAB");  // a two-byte separator keeps the ten-character field
    EXPECT_EQ(wide.FixedText(1.5f),
              "      1\xD9\xAB"
              "50");
}

TEST(DecimalSeparator, IsAPointWhenTheEnvironmentNamesNoLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(DecimalSeparatorFromEnvironment(), ".");
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);  // a locale that is not installed
    EXPECT_EQ(DecimalSeparatorFromEnvironment(), ".");
    if (saved != nullptr)
        setenv("LC_ALL", restore.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

TEST(DecimalSeparator, FormattingIgnoresTheProcessLocale) {
    const char* changed = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (changed == nullptr) changed = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    if (changed == nullptr) GTEST_SKIP() << "no comma locale installed";
    const NumberText numbers;
    EXPECT_EQ(numbers.FloatText(0.5f), "0.5");
    EXPECT_EQ(numbers.FixedText(1.5f), "      1.50");
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace vexlor
