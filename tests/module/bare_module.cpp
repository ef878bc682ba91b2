// A module library whose start-up registers no form class.
#include "module/dll_func.h"
