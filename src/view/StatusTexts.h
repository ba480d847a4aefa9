// The texts of the status bar about the view: the model's numbers and what the cursor points at.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "reader/NumberText.h"
#include "reader/OptModel.h"

namespace vexlor::view {

struct ModelNumbers {
    int32_t Meshes = 0;
    int64_t FacesShown = 0;  // drawn at the level of detail (finite corners)
    int64_t FacesTotal = 0;
    std::optional<int64_t> Vertices;  // when the caller knows them
    int32_t ShowLod = 0;              // 0: every level
    float SizeMetres = 0;             // as the view's caption has it
};

// The numbers of a model: the faces counted at `showLod`, the size from the view's extent
// ((ExtentMax - ExtentMin) / 41 metres; 0 for a model without faces).
ModelNumbers CountModelNumbers(std::span<const DrawFace> faces, int32_t meshes, int32_t showLod,
                               int32_t extentMax, int32_t extentMin,
                               std::optional<int64_t> vertices = std::nullopt);

// "4 meshes, 1200 of 3600 faces shown, 2400 vertices, LOD 1, 19.5122 m"; "all LODs" for level 0;
// the vertices only when known; singulars for one mesh, face or vertex.
std::string ModelNumbersText(const ModelNumbers& numbers, const NumberText& format);

// "mesh M, face F" for what the cursor points at; empty for nothing.
std::string UnderCursorText(std::optional<int32_t> mesh, std::optional<int64_t> face);

}  // namespace vexlor::view
