// The command line using the desktop program.
#include "gui/dlgImportXLS.h"
