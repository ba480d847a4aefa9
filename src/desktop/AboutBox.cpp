// The About box.
#include "desktop/AboutBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "inspector/TreeImages.h"
#include "reader/Version.h"

namespace vexlor::desktop {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 218);
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 282, 161);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setPixmap(inspector::ProgramIcon().pixmap(64, 64));
    icon->setGeometry(12, 12, 64, 64);

    auto* product = new QLabel(QStringLiteral("OPT Vexlor"), panel);
    product->setObjectName(QStringLiteral("productName"));
    QFont big = product->font();
    big.setPointSize(14);
    big.setBold(true);
    product->setFont(big);
    product->setGeometry(92, 20, 180, 28);

    auto* version = new QLabel(QStringLiteral("Version " VEXLOR_VERSION), panel);
    version->setObjectName(QStringLiteral("version"));
    version->setGeometry(92, 54, 180, 20);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(111, 180, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

}  // namespace vexlor::desktop
