// The view's wireframe frame drawn in software onto an image, without OpenGL and without a
// display: the same edges (EdgeList.h) in the same colours and order as the view draws them, put
// where the view's transform (FrameTransform.h) puts them, on black. The thumbnails are drawn so,
// from any thread, several at once.
#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>

#include "reader/OptModel.h"
#include "view/FrameTransform.h"
#include "view/Wireframe.h"

namespace vexlor::view {

struct WireframeFrame {
    QSize Size;
    ViewBox Box;
    Camera View;
    int32_t CurrentMesh = 0;  // its faces red, the others cyan
    FaceSelection Shown;
};

// An RGB32 image of the frame; a null image when its pixels cannot be held in memory.
QImage DrawWireframeImage(std::span<const DrawFace> faces, const WireframeFrame& frame);

// The browser preview's frame (its start view fitted to the faces at `showLod`, mesh 0 red) at
// `size`, the model keeping its proportions. False, and `frame` unchanged, when no face is
// drawn at that level.
bool PreviewFrame(std::span<const DrawFace> faces, int32_t showLod, QSize size,
                  WireframeFrame& frame);

}  // namespace vexlor::view
