// The window classes arrive with their issues; this keeps the library non-empty meanwhile.
#include "qt_user_interface.h"
