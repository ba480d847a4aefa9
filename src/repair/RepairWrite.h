// Writing a repair: the input's bytes with the planned fields replaced, written atomically to a
// file that is not the input (the saves' rules: it appears only when complete).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reader/OptStream.h"
#include "reader/Result.h"
#include "repair/RepairPlan.h"

namespace vexlor {

// A copy of `bytes` with every change's new value written over its field, little-endian. A change
// that does not lie wholly within the bytes is left out (a plan never holds one).
std::vector<uint8_t> RepairedBytes(std::span<const uint8_t> bytes, const RepairPlan& plan);

// Writes the bytes of `stream` with the plan's changes to `output` atomically; refused when
// `output` is the file `input`, by any path (RefuseSameFile). The holes of a sparse file stay
// holes.
Result WriteRepairedFile(const std::string& input, const std::string& output,
                         const OptStream& stream, const RepairPlan& plan);

}  // namespace vexlor
