// Writing a repair: the input's bytes with the planned fields replaced, written atomically to a
// file that is not the input (the saves' rules: it appears only when complete).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/Result.h"
#include "repair/RepairPlan.h"

namespace vexlor {

// A copy of `bytes` with every change's new value written over its field, little-endian. A change
// that does not lie wholly within the bytes is left out (a plan never holds one).
std::vector<uint8_t> RepairedBytes(const std::vector<uint8_t>& bytes, const RepairPlan& plan);

// Writes `bytes` to `output` atomically; refused when `output` is the file `input`, by any path
// (RefuseSameFile).
Result WriteRepairedFile(const std::string& input, const std::string& output,
                         const std::vector<uint8_t>& bytes);

}  // namespace vexlor
