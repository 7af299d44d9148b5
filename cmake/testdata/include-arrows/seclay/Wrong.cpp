// The crypto library used past ckx.
#include <tomcrypt.h>
