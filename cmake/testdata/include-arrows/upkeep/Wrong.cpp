// The maintenance tool using the package library.
#include <qdpcore/qdpcore.h>
