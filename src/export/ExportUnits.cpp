// Named units and 3MF's unit names.
#include "export/ExportUnits.h"

#include <cmath>

namespace vexlor {

namespace {

struct NamedUnit {
    std::string_view Name;
    double Metres;  // 0: the OPT unit
};

constexpr NamedUnit kNamedUnits[] = {
    {"opt", 0},   {"metres", 1},         {"meters", 1},
    {"m", 1},     {"centimetres", .01},  {"centimeters", .01},
    {"cm", .01},  {"millimetres", .001}, {"millimeters", .001},
    {"mm", .001},
};

struct ThreeMfName {
    const char* Name;
    double Metres;
};

constexpr ThreeMfName kThreeMfUnits[] = {
    {"micron", 1e-6}, {"millimeter", 1e-3}, {"centimeter", 1e-2},
    {"inch", 0.0254}, {"foot", 0.3048},     {"meter", 1.0},
};

}  // namespace

std::optional<double> ScaleForUnits(std::string_view name) {
    for (const NamedUnit& unit : kNamedUnits)
        if (unit.Name == name)
            return unit.Metres == 0 ? 1.0 : 1.0 / (kOptUnitsPerMetre * unit.Metres);
    return std::nullopt;
}

std::string UnitNames() {
    return "opt, metres, centimetres, millimetres";
}

std::optional<std::string> ThreeMfUnit(double metresPerNumber) {
    for (const ThreeMfName& unit : kThreeMfUnits)
        if (std::fabs(metresPerNumber / unit.Metres - 1.0) < 1e-9) return std::string(unit.Name);
    return std::nullopt;
}

}  // namespace vexlor
