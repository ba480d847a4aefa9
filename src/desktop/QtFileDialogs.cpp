// The Open and Save dialogs of Qt, and the picture size dialog.
#include "desktop/QtFileDialogs.h"

#include <QFileDialog>

#include "desktop/PictureSizeDialog.h"

namespace vexlor::desktop {

std::optional<QString> QtFileDialogs::OpenFile(const QString& caption, const QString& filter,
                                               const QString& start) {
    const QString name = QFileDialog::getOpenFileName(parent_, caption, start, filter);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QString> QtFileDialogs::SaveFile(const QString& caption, const QString& filter,
                                               const QString& start) {
    // The saves add their own extension where the name lacks it, so the dialog adds none; it
    // asks before the name chosen in it replaces a file.
    const QString name = QFileDialog::getSaveFileName(parent_, caption, start, filter);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QString> QtFileDialogs::SaveFileWithFilter(const QString& caption,
                                                         const QString& filters,
                                                         const QString& start, QString& selected) {
    const QString name = QFileDialog::getSaveFileName(parent_, caption, start, filters, &selected);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QSize> QtFileDialogs::PictureSize(const QSize& frame, int largest) {
    PictureSizeDialog dialog(frame, largest, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Size();
}

}  // namespace vexlor::desktop
