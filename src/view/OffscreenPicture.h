// One frame of the view drawn off the screen into a framebuffer object of any size up to what
// OpenGL allows, returned as an image: the pictures of "Save picture", of --screenshot and of the
// browser's thumbnails. Needs a QGuiApplication whose platform offers OpenGL (an X server, Xvfb
// too); no window is shown.
#pragma once

#include <QImage>
#include <QSize>
#include <optional>
#include <span>
#include <string>

#include "reader/OptModel.h"
#include "reader/Result.h"
#include "view/FrameRenderer.h"
#include "view/FrameTransform.h"
#include "view/ViewFit.h"

namespace vexlor::view {

struct PictureRequest {
    QSize Size{457, 417};
    Camera View;                       // angles, scale and pan
    std::optional<PresetView> Preset;  // replaces View's angles
    bool Fit = false;                  // scale and pan chosen to show the faces (see FitView)
    // The box is widened to the picture's proportions, so that the model is not stretched; off,
    // the picture is the view's frame at another size.
    bool KeepProportions = false;
    std::optional<ViewBox> Box;  // none: the box a scene set-up makes for the faces' extent
    FrameScene Scene;
    FrameLook Look;
    bool Triad = false;  // the axis triad in the lower left corner
};

struct Picture {
    QImage Image;  // RGB32
    // What the frame was drawn with, after the preset, the fit and the proportions.
    Camera Drawn;
    ViewBox Box;
};

// The largest width and height a picture may have here: OpenGL's limit for the framebuffer's
// colour and depth buffers and its viewport. 0 without OpenGL.
int LargestPictureSide();

// A failure says why there is no picture: its size, OpenGL, or memory.
Expected<Picture> RenderPicture(const PictureRequest& request);

}  // namespace vexlor::view
