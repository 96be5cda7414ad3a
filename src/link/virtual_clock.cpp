#include "link/virtual_clock.h"

namespace vantrel {

DateTime VirtualClock::LocalNow() {
  const double ole = ToOleDate(epoch) + static_cast<double>(sleptMs_ / 1000) / 86400.0;
  return FromOleDate(ole).value_or(epoch);
}

}  // namespace vantrel
