// The four 16 x 16 pictures of the structure tree (plain, jump block, face block, hardpoint), the
// warning sign laid over the picture of a node whose block has problems, and the program icon,
// drawn at run time.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace vexlor::inspector {

QPixmap TreeImage(int image);
// The picture with a small yellow warning triangle in its lower right corner.
QPixmap WithWarning(const QPixmap& picture);
// The colour of the warning triangle.
QColor WarningColour();
QIcon ProgramIcon();

}  // namespace vexlor::inspector
