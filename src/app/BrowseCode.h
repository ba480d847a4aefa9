// TBrowseForm: the OPT browser window, hidden until "Browse OPTs..." shows it.
#pragma once

#include <QWidget>

namespace vexlor::app {

class TBrowseForm : public QWidget {
    Q_OBJECT
  public:
    explicit TBrowseForm(QWidget* parent = nullptr);
};

}  // namespace vexlor::app
