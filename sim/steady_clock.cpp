#include "sim/steady_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace vantrel::sim {

std::uint32_t SteadyClock::NowMs() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SteadyClock::Sleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

DateTime SteadyClock::LocalNow() {
  const std::time_t now = std::time(nullptr);
  // std::localtime's one buffer is shared with every other caller in the process, and the
  // stand-in GPIB library runs inside the program.
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &now) != 0) return DateTime{};
#else
  if (localtime_r(&now, &local) == nullptr) return DateTime{};
#endif
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace vantrel::sim
