// TAboutBox: the program icon, name and version, and an OK button.
#pragma once

#include <QDialog>

namespace vexlor::app {

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace vexlor::app
