// The texts of the status bar about the view: the model's numbers and what the cursor points at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "reader/NumberText.h"
#include "view/ModelNumbers.h"

namespace vexlor::view {

// "4 meshes, 1200 of 3600 faces shown, 2400 vertices, LOD 1, 19.5122 m"; "all LODs" for level 0;
// the vertices only when known; singulars for one mesh, face or vertex.
std::string ModelNumbersText(const ModelNumbers& numbers, const NumberText& format);

// "mesh M, face F" for what the cursor points at; empty for nothing.
std::string UnderCursorText(std::optional<int32_t> mesh, std::optional<int64_t> face);

}  // namespace vexlor::view
