// The real message box and file dialogs.
#include <QFileDialog>
#include <QMessageBox>

#include "FileDialogs.h"
#include "MessagePresenter.h"

namespace vexlor::app {

void BoxMessagePresenter::Error(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("OPT Vexlor"), text, QMessageBox::Ok,
                    parent_);
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}

bool BoxMessagePresenter::Confirm(const QString& question) {
    return QMessageBox::question(parent_, QStringLiteral("OPT Vexlor"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

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

}  // namespace vexlor::app
