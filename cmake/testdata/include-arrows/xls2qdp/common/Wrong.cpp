// SQLite below the import layer.
#include <sqlite3.h>
