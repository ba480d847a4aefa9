// The dialog of View > Save picture that asks for the picture's size: width and height in
// pixels, starting at the view's frame size, which a button brings back.
#pragma once

#include <QDialog>
#include <QSize>

class QSpinBox;

namespace vexlor::desktop {

class PictureSizeDialog : public QDialog {
    Q_OBJECT
  public:
    // Sides from 1 to `largest` pixels.
    PictureSizeDialog(QSize frame, int largest, QWidget* parent = nullptr);
    QSize Size() const;

  private:
    QSpinBox* width_;
    QSpinBox* height_;
};

}  // namespace vexlor::desktop
