// optvexlor FILE --screenshot OUT.png: one frame of an OPT file drawn off the screen and written
// as a PNG file, without any window and without the type-name tables. The frame is the one the
// view shows after an open (the start view, mesh 0 red, the chosen level of detail), or a preset
// view with the model fitted into it; at the panel's size it is the panel's frame pixel for pixel,
// at any other size the model keeps its proportions.
#pragma once

#include <QSize>
#include <QString>
#include <optional>

#include "reader/Result.h"
#include "view/ViewFit.h"
#include "view/ViewWindow.h"

namespace vexlor::desktop {

struct ScreenshotRequest {
    QString File;
    QString Out;
    QSize Size{view::kPanelWidth, view::kPanelHeight};
    int32_t Lod = 1;  // 0: every level
    std::optional<view::PresetView> Preset;
    bool Shaded = false;
};

// What became of a screenshot besides its message.
struct ScreenshotOutcome {
    // On a failure: the file gives no picture (it does not look like an OPT file, or the model has
    // no face to draw), rather than the request being wrong or a file unreadable or unwritable.
    bool NoPicture = false;
};

// Takes the picture and writes it. A failure's message is one line.
Expected<ScreenshotOutcome> TakeScreenshot(const ScreenshotRequest& request);

// "WIDTHxHEIGHT" in whole pixels, each at least 1 ("1024x768"); nothing for anything else.
std::optional<QSize> ParsePictureSize(const QString& text);
// A level of detail: 0 for every level, else 1 to 255; nothing for anything else.
std::optional<int32_t> ParseLevelOfDetail(const QString& text);

}  // namespace vexlor::desktop
