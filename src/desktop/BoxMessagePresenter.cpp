// Messages and questions in modal message boxes.
#include "desktop/BoxMessagePresenter.h"

#include <QMessageBox>

namespace vexlor::desktop {

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

}  // namespace vexlor::desktop
