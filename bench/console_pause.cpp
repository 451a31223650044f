// Benchmark, not a test: how long one pause of the engine takes under the
// console host. After every change of the percentage the engine polls for
// up to 100 ms (PumpFor); on the console each poll costs nanoseconds, so the
// pause ends by its budget of 49,998 polls, and it should take well under a
// millisecond. Prints the median and the slowest of 101 pauses.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "apply/progress.h"
#include "apply/progress_state.h"
#include "package/upgrade_session.h"
#include "ui/console/console_user_interface.h"

using namespace package;
using namespace apply;
using namespace ui;

int main() {
  ConsoleUserInterface console(stdin, stdout, false, AnswerMode::kAllNo);
  platform::InstallUserInterface(&console);
  // PumpFor only hands the session on to the polls, which need no package.
  UpgradeSession session(nullptr, nullptr, "", "");
  ResetProgressState();
  std::vector<double> microseconds;
  for (int pause = 0; pause < 101; ++pause) {
    const auto start = std::chrono::steady_clock::now();
    PumpFor(session, 100);
    const auto end = std::chrono::steady_clock::now();
    microseconds.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::sort(microseconds.begin(), microseconds.end());
  std::printf("console pause (PumpFor 100 ms): median %.0f us, slowest %.0f us of %zu\n",
              microseconds[microseconds.size() / 2], microseconds.back(), microseconds.size());
  platform::InstallUserInterface(nullptr);
  return 0;
}
