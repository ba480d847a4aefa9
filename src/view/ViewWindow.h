// ViewWindow, the window of the 3D view: the black panel `p` the model is drawn on, the size
// caption and the keys that turn, zoom and pan the model. It stays on top of the other windows.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "GlPanel.h"
#include "NumberText.h"
#include "OptModel.h"
#include "ViewState.h"

namespace vexlor::view {

class ViewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ViewWindow(ViewState& view, QWidget* parent = nullptr);

    // The number format of the size caption (the user's decimal separator).
    void SetNumbers(NumberText numbers) { numbers_ = std::move(numbers); }
    // The model whose draw tables are drawn; none draws nothing.
    void SetModel(const OptModel* model) { panel_->SetModel(model); }
    const OptModel* Model() const { return panel_->Model(); }
    // The red mesh, the level of detail and the markers of the frames to come.
    ViewSelection& Selection() { return panel_->Selection(); }

    // After each load: extent, projection, the size caption, markers cleared, first frame.
    void SetupScene();
    // One frame from the ViewState.
    void Redraw() { panel_->RenderScene(); }
    // The panel's last frame.
    QImage GrabFrame() { return panel_->GrabFrame(); }

    // One key of the key table; a key in the table changes the view and draws one frame.
    void KeyDown(int virtualKey, Qt::KeyboardModifiers shift,
                 Qt::MouseButtons buttons = Qt::NoButton);

    GlPanel* Panel() const { return panel_; }
    int64_t FramesDrawn() const { return panel_->FramesDrawn(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ViewState& view_;
    NumberText numbers_;
    GlPanel* panel_;
};

}  // namespace vexlor::view
