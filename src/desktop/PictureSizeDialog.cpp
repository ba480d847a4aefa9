// The picture size dialog.
#include "desktop/PictureSizeDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vexlor::desktop {

PictureSizeDialog::PictureSizeDialog(QSize frame, int largest, QWidget* parent)
    : QDialog(parent), width_(new QSpinBox(this)), height_(new QSpinBox(this)) {
    setObjectName(QStringLiteral("pictureSizeDialog"));
    setWindowTitle(QStringLiteral("Picture size"));
    for (QSpinBox* side : {width_, height_}) {
        side->setRange(1, qMax(1, largest));
        side->setSuffix(QStringLiteral(" px"));
    }
    width_->setObjectName(QStringLiteral("pictureWidth"));
    height_->setObjectName(QStringLiteral("pictureHeight"));
    width_->setValue(frame.width());
    height_->setValue(frame.height());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Width:"), width_);
    form->addRow(QStringLiteral("&Height:"), height_);
    auto* note = new QLabel(
        QStringLiteral("At the view's size (%1 x %2) the picture is its frame; at any other size "
                       "the model keeps its proportions.")
            .arg(frame.width())
            .arg(frame.height()),
        this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* viewSize =
        buttons->addButton(QStringLiteral("&View's size"), QDialogButtonBox::ResetRole);
    connect(viewSize, &QPushButton::clicked, this, [this, frame] {
        width_->setValue(frame.width());
        height_->setValue(frame.height());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

QSize PictureSizeDialog::Size() const {
    return {width_->value(), height_->value()};
}

}  // namespace vexlor::desktop
