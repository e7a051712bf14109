#pragma once
// The Win32 and shell declarations the extension uses, on top of the project's one <windows.h>.
#include "common/os/win32.h"

#include <olectl.h>
#include <shellapi.h>
#include <shlobj.h>
