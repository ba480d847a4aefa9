// The markers of a chosen block and the face a block and place name.
#include "view/ViewSelection.h"

#include <map>

namespace vexlor::view {

Vec3 HardpointColour(int32_t type) {
    switch (type) {
        case 1:
        case 2:
        case 9:
            return {1.0f, 0.2f, 0.6f};
        case 3:
        case 4:
        case 10:
            return {0.2f, 1.0f, 0.6f};
        case 5:
            return {0.2f, 0.6f, 1.0f};
        case 6:
        case 11:
            return {0.2f, 0.2f, 1.0f};
        default:
            return {1.0f, 1.0f, 1.0f};
    }
}

void SelectBlock(ViewSelection& selection, const ShownBlock& block, int32_t extentMax,
                 int32_t extentMin) {
    selection.CurrentMesh = block.Mesh;
    selection.Box.reset();
    selection.Hardpoint.reset();
    selection.HighlightFace = -1;
    if (block.Hardpoint) {
        const Vec3& position = block.Hardpoint->Position;
        selection.Hardpoint =
            HardpointMarker{position, HardpointColour(block.Hardpoint->Type), 5.0f};
        // The box is a 75th of the view's extent; the difference is taken in 64 bits so that no
        // extent can overflow it.
        const int64_t extent = int64_t{extentMax} - int64_t{extentMin};
        const auto span = static_cast<float>(static_cast<long double>(extent) * (1.0L / 75.0L));
        selection.Box = MarkerBox{position, {span, span, span}, {0.5f, 0.0f, 0.9f}};
    } else if (block.Descriptor) {
        selection.Box =
            MarkerBox{block.Descriptor->Centre, block.Descriptor->Span, {0.5f, 0.3f, 0.7f}};
    }
}

int64_t DrawIndexOfFace(std::span<const DrawFace> faces, int64_t blockOffset, int32_t faceInBlock) {
    for (size_t i = 0; i < faces.size(); ++i) {
        if (faces[i].BlockOffset == blockOffset && faces[i].FaceInBlock == faceInBlock)
            return static_cast<int64_t>(i);
    }
    return -1;
}

std::vector<int64_t> DrawIndicesOfFaces(std::span<const DrawFace> faces,
                                        std::span<const std::pair<int64_t, int32_t>> places) {
    std::map<std::pair<int64_t, int32_t>, int64_t> wanted;
    for (const auto& place : places)
        wanted.emplace(place, -1);
    for (size_t i = 0; i < faces.size() && !wanted.empty(); ++i) {
        const auto found = wanted.find({faces[i].BlockOffset, faces[i].FaceInBlock});
        if (found != wanted.end() && found->second < 0) found->second = static_cast<int64_t>(i);
    }
    std::vector<int64_t> indices;
    for (const auto& place : places) {
        const int64_t index = wanted[place];
        if (index >= 0) indices.push_back(index);
    }
    return indices;
}

}  // namespace vexlor::view
