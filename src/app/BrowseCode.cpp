// The OPT browser window.
#include "BrowseCode.h"

namespace vexlor::app {

TBrowseForm::TBrowseForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("BrowseForm"));
    setWindowTitle(QStringLiteral("OPTvexlor Browser"));
}

}  // namespace vexlor::app
