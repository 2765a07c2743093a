#pragma once
// The program's icon: the one in the application folder when there, else drawn here.

#include <QIcon>

namespace host {
QIcon ProgramIcon();
}
