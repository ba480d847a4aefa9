// The four 16 x 16 pictures of the structure tree (plain, jump block, face block, hardpoint) and
// the program icon, drawn at run time.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace vexlor::app {

QPixmap TreeImage(int image);
QIcon ProgramIcon();

}  // namespace vexlor::app
