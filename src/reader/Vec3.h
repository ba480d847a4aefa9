// Three 32-bit floats: the form of every position, normal and soft vector in an OPT file.
#pragma once

namespace vexlor {

struct Vec3 {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

}  // namespace vexlor
