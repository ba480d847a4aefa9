// The units of an export. A position in the file is in OPT units; 41 of them make a metre (the
// view's caption takes the same). An export multiplies every position by its scale, so one number
// of the written file is 1 / (41 * scale) metres, and the formats that can say so declare that
// unit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexlor {

inline constexpr double kOptUnitsPerMetre = 41.0;

// What one number of the written file measures, in metres.
inline double MetresPerNumber(double scale) {
    return 1.0 / (kOptUnitsPerMetre * scale);
}

// The scale that a named unit gives: "opt" (1), "metres" or "m" (1/41), "centimetres" or "cm",
// "millimetres" or "mm" (and the spellings "meters", "centimeters", "millimeters"). Nothing for
// another name.
std::optional<double> ScaleForUnits(std::string_view name);

// The names ScaleForUnits takes, for help texts: "opt, metres, centimetres, millimetres".
std::string UnitNames();

// 3MF's name for the unit of `metresPerNumber` ("micron", "millimeter", "centimeter", "inch",
// "foot", "meter"), when it has one.
std::optional<std::string> ThreeMfUnit(double metresPerNumber);

}  // namespace vexlor
