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

std::optional<QString> QtFileDialogs::OpenFile(const QString& caption, const QString& filter) {
    const QString name = QFileDialog::getOpenFileName(parent_, caption, QString(), filter);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QString> QtFileDialogs::SaveFile(const QString& caption, const QString& filter) {
    // The saves append their own extension, so the dialog must not add one.
    const QString name = QFileDialog::getSaveFileName(parent_, caption, QString(), filter, nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

}  // namespace vexlor::app
