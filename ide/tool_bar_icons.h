// The program's icons. The tool-bar icons, drawn by the program in one style: 2-unit strokes on a 24-unit grid in the
// palette's text colour, with one accent fill. Drawn at paint time, so they are sharp at any size
// and follow a light or dark palette (and its disabled colour) as it changes.
#pragma once

#include <QIcon>

#include "ide/window_actions.h"

QIcon ToolBarIcon(WindowAction action);

// The application icon: the installed theme icon when there is one, else the renditions
// compiled into the program (the same pictures, for a program run from its build folder).
QIcon ApplicationIcon();
