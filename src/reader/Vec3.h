// Three 32-bit floats: the form of every position, normal and soft vector in an OPT file.
#pragma once

namespace vexlor {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

}  // namespace vexlor
