// Calendar arithmetic between file times and DOS dates and times, for
// platforms whose system offers no such conversion.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace platform {

bool ArithmeticFileTimeToDos(FileTime time, std::uint16_t* dosDate, std::uint16_t* dosTime);
bool ArithmeticDosToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime* time);

}  // namespace platform
