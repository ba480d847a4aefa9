// Whether the view's panel can be seen: shown (with every widget it lies in), its window not
// minimised, exposed by the window system, not completely covered by other windows and on the
// desktop the screen shows (the last two where the X server tells, X11WindowWatch.h). Frames the
// panel cannot show are not drawn.
//
// The panel may lie in a window of its own, in a dock of the main window or in a floating dock:
// the watch follows it from one window to another and tells of every change it notices.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "view/X11WindowWatch.h"

namespace vexlor::view {

class ViewVisibility : public QObject {
    Q_OBJECT
  public:
    // Watches `panel` and the native window `surface` that shows its frames; becomes the
    // panel's child.
    ViewVisibility(QWidget* panel, QWindow* surface);
    // Worked out now, whatever was told last.
    bool Seen() const;

  signals:
    void SeenChanged(bool seen);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Follows the panel to the window it lies in now.
    void Follow();
    // Tells of a change once the events of the moment have run (a widget's visibility is
    // settled only after its show and hide events).
    void CheckSoon();
    void Check();

    QWidget* panel_;
    QWindow* surface_;
    QPointer<QWidget> topLevel_;
    QPointer<QWindow> window_;
    X11WindowWatch x11_;
    bool seen_ = false;
    bool checkPosted_ = false;
};

}  // namespace vexlor::view
