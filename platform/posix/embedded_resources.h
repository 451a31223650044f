// Data resources compiled into a POSIX program. A ModuleInstance on POSIX
// points at one of these tables.
#pragma once

#include <cstdint>

namespace platform {

struct EmbeddedResource {
  int id;            // used when name is null
  const char* name;  // null for a numbered resource
  const unsigned char* data;
  std::uint32_t size;
};

struct ResourceTable {
  const EmbeddedResource* resources;
  std::uint32_t count;
};

// The program's own table, generated from resources/ at build time.
extern const ResourceTable kProgramResources;

}  // namespace platform
