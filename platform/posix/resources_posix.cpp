#include <cstring>

#include "platform/posix/embedded_resources.h"
#include "platform/resources.h"

namespace platform {
namespace {

const EmbeddedResource* Find(ModuleInstance instance, int id, const char* name) {
  const auto* table = static_cast<const ResourceTable*>(instance);
  if (table == nullptr) return nullptr;
  for (std::uint32_t i = 0; i < table->count; ++i) {
    const EmbeddedResource& resource = table->resources[i];
    const bool match = name == nullptr
                           ? resource.name == nullptr && resource.id == id
                           : resource.name != nullptr && std::strcmp(resource.name, name) == 0;
    if (match) return &resource;
  }
  return nullptr;
}

bool Deliver(const EmbeddedResource* resource, const unsigned char** data, std::uint32_t* size) {
  if (resource == nullptr) return false;
  *data = resource->data;
  *size = resource->size;
  return true;
}

}  // namespace

ModuleInstance ProgramInstance() { return const_cast<ResourceTable*>(&kProgramResources); }

bool FindDataResource(ModuleInstance instance, int id, const unsigned char** data,
                      std::uint32_t* size) {
  return Deliver(Find(instance, id, nullptr), data, size);
}

bool FindDataResource(ModuleInstance instance, const char* name, const unsigned char** data,
                      std::uint32_t* size) {
  return Deliver(Find(instance, 0, name), data, size);
}

}  // namespace platform
