// Data resources of the program's own module: RCDATA in the Windows program,
// a table compiled into the binary elsewhere.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace platform {

// The instance of the running program.
ModuleInstance ProgramInstance();

// An RCDATA resource by number or by name. The bytes stay valid while the
// program runs; they are never to be written. False when there is none; a
// null instance is a module without resources.
bool FindDataResource(ModuleInstance instance, int id, const unsigned char** data,
                      std::uint32_t* size);
bool FindDataResource(ModuleInstance instance, const char* name, const unsigned char** data,
                      std::uint32_t* size);

}  // namespace platform
