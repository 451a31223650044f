// <commdlg.h>, the common file dialogs, after the <windows.h> that it needs:
// windows_api.h leaves it out of the lean set.
#pragma once

#include "platform/win32/windows_api.h"
// clang-format off
#include <commdlg.h>
// clang-format on
