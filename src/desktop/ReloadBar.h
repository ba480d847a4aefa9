// The bar at the top of the main window that says the open file changed on disk and offers to
// read it again, with the "Auto reload" box that makes later changes reload at once. It never
// takes the focus from what the user is doing.
#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace vexlor::desktop {

class ReloadBar : public QFrame {
    Q_OBJECT
  public:
    explicit ReloadBar(QWidget* parent = nullptr);

    // "fighter.opt has changed on disk." with the Reload button; a file that is gone only says
    // so.
    void ShowChange(const QString& fileName, bool exists);
    QString Message() const;
    QPushButton* ReloadButton() const { return reload_; }
    QCheckBox* AutoReloadBox() const { return autoReload_; }

  signals:
    void ReloadRequested();
    void AutoReloadToggled(bool on);

  private:
    QLabel* message_;
    QPushButton* reload_;
    QCheckBox* autoReload_;
    QToolButton* close_;
};

}  // namespace vexlor::desktop
