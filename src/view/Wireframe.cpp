// The model extent and the arrays the wireframe is drawn from.
#include "view/Wireframe.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "view/ViewMath.h"

namespace vexlor::view {

int32_t ExtentBound(float v) {
    const int64_t r = RoundToInt32Range(v);
    return SaturateInt32(r + r / 3);
}

ModelExtent ComputeModelExtent(std::span<const DrawFace> faces) {
    float hi = -999999.0f;
    float lo = 999999.0f;
    for (const DrawFace& face : faces) {
        for (const Vec3& c : face.Corners) {
            for (const float value : {c.X, c.Y, c.Z}) {
                if (value > hi) hi = value;
                if (value < lo) lo = value;
            }
        }
    }
    return {ExtentBound(hi), ExtentBound(lo)};
}

int64_t DrawableFaceCount(std::span<const DrawFace> faces) {
    // Buffer sizes are counted in a signed int: 48 bytes of positions per face.
    constexpr int64_t most = std::numeric_limits<int32_t>::max() / 48;
    static_assert(most * 8 <= std::numeric_limits<int32_t>::max());
    const auto count = static_cast<int64_t>(faces.size());
    return count < most ? count : most;
}

void FillPositions(std::span<const DrawFace> shown, std::vector<float>& positions) {
    const auto faces = static_cast<size_t>(DrawableFaceCount(shown));
    positions.resize(faces * 12);
    float* out = positions.data();
    for (size_t i = 0; i < faces; ++i) {
        for (const Vec3& c : shown[i].Corners) {
            *out++ = c.X;
            *out++ = c.Y;
            *out++ = c.Z;
        }
    }
}

void FillColours(std::span<const DrawFace> shown, int32_t currentMesh,
                 std::vector<uint8_t>& colours) {
    const auto faces = static_cast<size_t>(DrawableFaceCount(shown));
    const auto current = static_cast<int16_t>(currentMesh);
    colours.resize(faces * 16);
    uint8_t* out = colours.data();
    for (size_t i = 0; i < faces; ++i) {
        const uint8_t* rgba = shown[i].Mesh == current ? kCurrentMeshRgba : kFaceRgba;
        for (int corner = 0; corner < 4; ++corner, out += 4)
            std::memcpy(out, rgba, 4);
    }
}

bool HasFiniteCorners(const DrawFace& face) {
    for (const Vec3& c : face.Corners) {
        if (!std::isfinite(c.X) || !std::isfinite(c.Y) || !std::isfinite(c.Z)) return false;
    }
    return true;
}

WireframeUploads::Refill WireframeUploads::Plan(const void* model, uint64_t generation,
                                                int64_t faces, int32_t currentMesh, int32_t showLod,
                                                std::optional<int32_t> coarseKey) {
    Refill refill;
    if (model != model_ || generation != generation_ || faces != faces_) {
        *this = WireframeUploads{};
        model_ = model;
        generation_ = generation;
        faces_ = faces;
        refill.Positions = true;
    }
    if (!coloured_ || currentMesh != currentMesh_) {
        refill.Colours = true;
        coloured_ = true;
        currentMesh_ = currentMesh;
    }
    if (coarseKey) {
        refill.CoarseEdges = coarseKey != coarseKey_;
        coarseKey_ = coarseKey;
    } else if (!edged_ || showLod != showLod_) {
        refill.Edges = true;
        edged_ = true;
        showLod_ = showLod;
    }
    return refill;
}

}  // namespace vexlor::view
