// <windows.h> as the Windows side of the program includes it. The header
// maps DeleteFile and MoveFile to their ANSI or wide forms by macro, which
// would also rename the FileSystem members of those names, and MessageBox,
// which would rename the user-interface members of that name; the macros
// are dropped here, and code calls the ANSI functions by their own names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef MoveFile
#undef MessageBox
