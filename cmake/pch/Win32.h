// Precompiled for the Win32 libraries (the windows, files, port, profile): the portable
// set and the system headers nearly all of them include.
#pragma once

#include "cmake/pch/Portable.h"

#include <windows.h>
#include <commctrl.h>
