#pragma once
// The platform headers first, then Windows': windows.h defines the menu flags, window
// messages and dialog flags that Form.h also names (with the same values) as macros, and
// turns MessageBox and AppendMenu into their A and W variants. After this header the
// macros are Windows', and the two function names are the Form's again.
#include "platform/FormBase.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <commctrl.h>

#undef MessageBox
#undef AppendMenu
