// The Open and Save dialogs behind a seam: the program asks the user through Qt's file dialogs,
// tests answer with prepared names.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace vexlor::app {

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen name, or nothing when the user cancels. `filter` is in Qt's form,
    // e.g. "OPT files (*.OPT)"; `start` is the folder (open) or the suggested path (save) the
    // dialog starts with. A save dialog asks itself before the chosen name replaces a file.
    virtual std::optional<QString> OpenFile(const QString& caption, const QString& filter,
                                            const QString& start) = 0;
    virtual std::optional<QString> SaveFile(const QString& caption, const QString& filter,
                                            const QString& start) = 0;
};

class QtFileDialogs : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> OpenFile(const QString& caption, const QString& filter,
                                    const QString& start) override;
    std::optional<QString> SaveFile(const QString& caption, const QString& filter,
                                    const QString& start) override;

  private:
    QWidget* parent_;
};

}  // namespace vexlor::app
