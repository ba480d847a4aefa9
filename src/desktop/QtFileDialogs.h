// The program's own Open and Save dialogs and its picture size dialog, through Qt.
#pragma once

#include "desktop/FileDialogs.h"

class QWidget;

namespace vexlor::desktop {

class QtFileDialogs : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> OpenFile(const QString& caption, const QString& filter,
                                    const QString& start) override;
    std::optional<QString> SaveFile(const QString& caption, const QString& filter,
                                    const QString& start) override;
    std::optional<QString> SaveFileWithFilter(const QString& caption, const QString& filters,
                                              const QString& start, QString& selected) override;
    std::optional<QSize> PictureSize(const QSize& frame, int largest) override;

  private:
    QWidget* parent_;
};

}  // namespace vexlor::desktop
