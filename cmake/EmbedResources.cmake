cmake_policy(SET CMP0007 NEW)
# Writes a C++ source that holds resource files as byte arrays, for the
# POSIX programs that have no resource section.
#   cmake -DOUTPUT=file.cpp -DRESOURCES="id|name|path;..." -P EmbedResources.cmake
# An entry whose name is "-" is numbered by id; otherwise it is named.
set(body "")
set(table "")
set(index 0)
foreach(entry IN LISTS RESOURCES)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 id)
  list(GET parts 1 name)
  list(GET parts 2 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char kData${index}[] = {${bytes} 0};\n")
  if(name STREQUAL "-")
    set(nameText "nullptr")
  else()
    set(nameText "\"${name}\"")
  endif()
  string(APPEND table "    {${id}, ${nameText}, kData${index}, ${size}u},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from resources/ by EmbedResources.cmake.
#include \"platform/posix/embedded_resources.h\"

namespace platform {
namespace {
${body}
const EmbeddedResource kResources[] = {
${table}};
}  // namespace

const ResourceTable kProgramResources = {kResources, ${index}u};

}  // namespace platform
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
