// The arrays the shaded mode fills the faces from, and how bright a face is drawn. A face is lit
// by one light at the viewer, by its own normal: facing the viewer squarely it has its mesh's
// full colour (red for the current mesh, cyan for the others), turned away from the viewer (a
// back face, or a face whose normal is reversed) it is always darker than any front face.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "reader/OptModel.h"
#include "view/FrameTransform.h"
#include "view/Wireframe.h"

namespace vexlor::view {

// The normal a face is lit by: its stored normal made unit length, or, where that is zero or
// not a finite number, the normal of its corners' winding (counter-clockwise seen from the
// front). Zero when neither gives a direction.
Vec3d LightingNormal(const DrawFace& face);

// The brightness for the cosine between the face's eye normal and the line to the viewer.
inline constexpr double kFrontBase = 0.45, kFrontSlope = 0.55;
inline constexpr double kBackBase = 0.15, kBackSlope = 0.25;
inline double ShadeFactor(double facing) {
    return facing > 0 ? kFrontBase + kFrontSlope * facing : kBackBase - kBackSlope * facing;
}

// Per corner (four per face, as the wireframe's positions): the lighting normal as three signed
// bytes scaled to 127 and a zero byte.
void FillCornerNormals(std::span<const DrawFace> faces, std::vector<int8_t>& normals);
// Corner triples of the triangles to fill, 1-2-3 and 1-3-4 of each face `shown`, in draw order;
// a triangle (fourth corner the same as the third) gives one.
void FillTriangleList(std::span<const DrawFace> faces, const FaceSelection& shown,
                      std::vector<uint32_t>& corners);

}  // namespace vexlor::view
