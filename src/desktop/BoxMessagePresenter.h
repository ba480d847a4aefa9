// The messages and questions of the program itself: modal message boxes.
#pragma once

#include "desktop/MessagePresenter.h"

class QWidget;

namespace vexlor::desktop {

// A modal error box over `parent`.
class BoxMessagePresenter : public MessagePresenter {
  public:
    explicit BoxMessagePresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Error(const QString& text, const QString& detail = {}) override;
    bool Confirm(const QString& question) override;

  private:
    QWidget* parent_;
};

}  // namespace vexlor::desktop
