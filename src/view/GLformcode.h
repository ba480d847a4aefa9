// GLform, the window of the 3D view: the black panel `p` the model is drawn on, the size caption
// and the keys that turn, zoom and pan the model. It stays on top of the other windows.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "M_Glunit.h"
#include "ModelStore.h"
#include "NumberText.h"
#include "ViewState.h"

namespace vexlor::view {

class TGLform : public QWidget {
    Q_OBJECT
  public:
    explicit TGLform(ViewState& view, QWidget* parent = nullptr);

    // The number format of the size caption (the user's decimal separator).
    void SetNumbers(NumberText numbers) { numbers_ = std::move(numbers); }
    // The model whose draw tables are drawn; none draws nothing.
    void SetModel(ModelStore* store) { p_->SetModel(store); }
    ModelStore* Model() const { return p_->Model(); }

    // After each load: extent, projection, the size caption, markers cleared, first frame.
    void SetupScene();
    void RedrawView() { p_->RedrawView(); }
    // One frame from the ViewState.
    void NewTr() { p_->RenderScene(); }
    // The panel's last frame.
    QImage GrabFrame() { return p_->GrabFrame(); }

    // One key of the key table; a key in the table changes the view and draws one frame.
    void FormKeyDown(int virtualKey, Qt::KeyboardModifiers shift,
                     Qt::MouseButtons buttons = Qt::NoButton);

    GlPanel* Panel() const { return p_; }
    int64_t FramesDrawn() const { return p_->Times().frames; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    ViewState& view_;
    NumberText numbers_;
    GlPanel* p_;
};

}  // namespace vexlor::view
