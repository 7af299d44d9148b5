// An engine header that reaches up into the desktop program.
#include "gui/MainForm.h"

#include <QString>
