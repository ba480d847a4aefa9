// The README window of the Help menu: the program's short guide as plain text, wrapped at the
// window's width. Escape closes it.
#pragma once

#include <QPlainTextEdit>

namespace vexlor::desktop {

class ReadmeWindow : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ReadmeWindow(QWidget* parent = nullptr);

    // The guide: paragraphs as single lines, so that the window alone decides where they wrap.
    static QString Text();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vexlor::desktop
