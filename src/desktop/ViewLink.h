// What the main window and the browser ask of the 3D view: the model to draw and what to show
// of it, scene set-up after a load, frames, the rotation thread, the shaded mode, the highlighted
// face and pictures; and what the view tells them back (ViewEvents). The desktop program links
// it to the real view; tests use a recorder.
#pragma once

#include <QtCore/qnamespace.h>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "reader/BlockRecords.h"
#include "reader/OptDocument.h"
#include "reader/OptModel.h"

namespace vexlor::desktop {

// A face picked with the mouse in the view.
struct PickedFace {
    const OptModel* Model = nullptr;  // the model shown (the browser's preview shows its own)
    int64_t DrawIndex = -1;           // -1: a click on empty space
    int32_t Mesh = 0;
    int64_t BlockOffset = 0;  // the face block that holds it
    int32_t FaceInBlock = 0;  // its place in that block, as the block's report numbers it
};

struct PixelSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const PixelSize&) const = default;
};

// What the view tells the windows, as it happens.
class ViewEvents {
  public:
    virtual ~ViewEvents() = default;
    // A click in the view picked a face, or hit empty space; the view has highlighted it.
    virtual void FacePicked(const PickedFace& face) = 0;
    // The model's numbers at the shown level (after a load or another level): a line for the
    // status bar.
    virtual void ModelNumbersChanged(const std::string& text) = 0;
    // The mesh and face under the cursor ("mesh M, face F"), or "" when it points at none.
    virtual void UnderCursorChanged(const std::string& text) = 0;
    // The shaded mode was switched in the view (its W key).
    virtual void ShadedChanged(bool on) = 0;
    // The view's R key: the model rotation on or off.
    virtual void RotationKeyPressed() = 0;
};

class ViewLink {
  public:
    virtual ~ViewLink() = default;
    // Where the view's events go; none drops them.
    virtual void SetEvents(ViewEvents* events) = 0;
    // The model whose draw tables the view draws.
    virtual void SetModel(const OptModel* model) = 0;
    // Extent, projection and size caption of the model; markers and highlight cleared.
    virtual void SetupScene() = 0;
    // The mesh drawn red.
    virtual void ShowMesh(int32_t mesh) = 0;
    // The level of detail drawn: 0 for all, else the level.
    virtual void ShowLevelOfDetail(int32_t lod) = 0;
    // A chosen block: its mesh red, and its marker if it is a hardpoint or mesh descriptor.
    virtual void ShowBlock(const ShownBlock& block) = 0;
    // Shaded mode on or off, with one frame.
    virtual void SetShaded(bool on) = 0;
    // The face at `faceInBlock` of the face block at `blockOffset` drawn highlighted (yellow),
    // with one frame; a face the model does not hold clears the highlight.
    virtual void HighlightFace(int64_t blockOffset, int32_t faceInBlock) = 0;
    // The faces a panel lists, each (face block position, place in the block), filled in a
    // fainter colour than the highlight until the next call (none: no marks), with one frame.
    virtual void MarkFaces(std::span<const std::pair<int64_t, int32_t>> faces) = 0;
    // One frame.
    virtual void Redraw() = 0;
    // Clears RotationOn and waits until no rotation thread is in its loop.
    virtual void StopRotation() = 0;
    // RotationOn := ticked; starts a rotation thread when it is set (the end of a load).
    virtual void RestartRotation(bool ticked) = 0;
    // The "model rotation" check box was clicked.
    virtual void RotationClicked(bool ticked) = 0;
    // The speed track bar moved.
    virtual void SpinSliderChanged(int position) = 0;
    // The preview's start view: angles -130, 0, 210, scale 1, no pan.
    virtual void ResetToPreviewView() = 0;
    // The start view: no turn, scale 1, no pan.
    virtual void ResetToStartView() = 0;
    // Scale and pan that fit the model, at the view's angles, into the frame at every turn of the
    // rotation (after a scene set-up: every open and preview starts framed).
    virtual void FrameModel() = 0;
    // The camera (angles, scale, pan) kept aside, and put back as it was kept (the browser keeps
    // the open file's camera over its previews).
    virtual void KeepCamera() = 0;
    virtual void RestoreCamera() = 0;
    // A key of the view pressed as if the view were active (the View menu's commands).
    virtual void PressViewKey(int key, Qt::KeyboardModifiers modifiers) = 0;
    // Shows the view again, as it was when it was closed, in front of the others, with the focus.
    virtual void ShowViewWindow() = 0;

    // The size of the view's frames, and the largest side a picture may have (0: no pictures).
    virtual PixelSize FrameSize() const = 0;
    virtual int32_t LargestPictureSide() = 0;
    // The frame the view shows now as a PNG file of `size` (see ViewWindow::TakePicture), which
    // appears only when complete.
    virtual Result SavePicture(const std::string& path, PixelSize size) = 0;
};

}  // namespace vexlor::desktop
