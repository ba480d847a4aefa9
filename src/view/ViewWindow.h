// ViewWindow, the 3D view: the black panel `p` the model is drawn on, filling the widget, the size
// caption (its window title, which a dock holding it shows), the keys that turn, zoom and pan
// the model, and the mouse and added keys (ViewInput.h) with the axis triad in the panel's lower
// left corner. Without a parent it is a window of its own of the designed size; the main window
// holds it in a dock that can float.
#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <string>

#include "reader/NumberText.h"
#include "reader/OptModel.h"
#include "view/FrameTransform.h"
#include "view/GlPanel.h"
#include "view/OffscreenPicture.h"
#include "view/ViewInput.h"
#include "view/ViewState.h"

namespace vexlor::view {

// The panel's designed size: the size of the view's frames in a window of its own at its start.
inline constexpr int kPanelWidth = kDesignedFrameWidth;
inline constexpr int kPanelHeight = kDesignedFrameHeight;

class ViewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ViewWindow(ViewState& view, QWidget* parent = nullptr);

    // The number format of the size caption (the user's decimal separator).
    void SetNumbers(NumberText numbers) { numbers_ = std::move(numbers); }
    const NumberText& Numbers() const { return numbers_; }
    // The model whose draw tables are drawn; none draws nothing.
    void SetModel(const OptModel* model) { panel_->SetModel(model); }
    const OptModel* Model() const { return panel_->Model(); }
    // The red mesh, the level of detail, the markers, the shaded mode and the highlighted face of
    // the frames to come.
    ViewSelection& Selection() { return panel_->Selection(); }
    const ViewSelection& Selection() const { return panel_->Selection(); }

    // After each load: extent, projection, the size caption, markers and highlight cleared, the
    // pick index forgotten, first frame.
    void SetupScene();
    // One frame from the ViewState; the triad and the face under the cursor follow it.
    void Redraw();
    // One frame once the events of the moment have run, no sooner than a frame interval after
    // the last: the frames of the mouse, which never queue up behind slow frames.
    void RequestFrame();
    // Whether the panel can be seen, and the time between two frames of its screen.
    bool CanBeSeen() const { return panel_->CanBeSeen(); }
    std::chrono::nanoseconds FrameInterval() const { return panel_->FrameInterval(); }
    // The panel's last frame.
    QImage GrabFrame() { return panel_->GrabFrame(); }
    // The size of the panel's frames in pixels.
    QSize FrameSize() const;
    // The frame the view shows now, drawn off the screen at `size`: at the frame's own size the
    // same pixels, at any other the same view with the box widened to the picture's proportions
    // so that the model is not stretched.
    Expected<Picture> TakePicture(QSize size) const;

    // The status bar's texts: the model's numbers at the shown level ("" before a model), and
    // the mesh and face (its place in its face block) of a draw index ("" for none).
    std::string ModelStatus() const;
    std::string UnderCursorStatus(int64_t face) const;

    // Shaded mode on or off, with one frame; ShadedChanged tells of a change.
    void SetShaded(bool on);
    // The face drawn yellow (a draw index; -1 for none), with one frame.
    void HighlightFace(int64_t face);
    // The faces at these draw indices filled in the marked colour (none: no marks), one frame.
    void MarkFaces(std::vector<int64_t> faces);
    // The same for a face chosen elsewhere (a finding, the report): a face not wholly in the
    // frame is first brought into its middle.
    void ShowFace(int64_t face);

    // One Qt key of the key table; a key in the table changes the view and draws one frame.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
    // Any key of the view, the added ones included, as if pressed with the view active: what
    // the menus' view commands run, so that a command and its key do the same.
    void PressKey(int key, Qt::KeyboardModifiers modifiers);
    // Scale and pan for the view's angles (the start view, or the browser's preview angles) so
    // that the model stays whole in the frame as the rotation turns it about its z axis, whatever
    // size the panel takes afterwards. The caller draws.
    void FrameModel();

    GlPanel* Panel() const { return panel_; }
    ViewInput& Input() { return input_; }
    int64_t FramesDrawn() const { return panel_->FramesDrawn(); }

  signals:
    // A click picked a face (its draw index, now highlighted) or hit empty space (-1).
    void FacePicked(qint64 face);
    // The face under the cursor changed (a draw index; -1 for none).
    void FaceUnderCursor(qint64 face);
    // The shaded mode was switched (by W or SetShaded).
    void ShadedChanged(bool on);
    // The panel came into sight or went out of it.
    void SeenChanged(bool seen);
    // R was pressed: the model rotation on or off.
    void RotationToggled();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ViewScene InputScene() const;
    void Picked(qint64 face);

    ViewState& view_;
    NumberText numbers_;
    GlPanel* panel_;
    ViewInput input_;
};

}  // namespace vexlor::view
