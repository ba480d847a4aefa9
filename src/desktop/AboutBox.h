// AboutBox: the program icon, name and version, and an OK button.
#pragma once

#include <QDialog>

namespace vexlor::desktop {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace vexlor::desktop
