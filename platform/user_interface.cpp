#include "platform/user_interface.h"

#include "platform/null_user_interface.h"
#include "platform/time.h"

namespace platform {

std::uint32_t NullUserInterface::TickCount() { return platform::TickCount(); }

namespace {

NullUserInterface silent;

}  // namespace

UserInterface* currentUserInterface = &silent;

void InstallUserInterface(UserInterface* replacement) {
  currentUserInterface = replacement != nullptr ? replacement : &silent;
}

}  // namespace platform
