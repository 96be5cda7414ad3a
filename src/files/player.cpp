#include "files/player.h"

#include <optional>

#include "files/sp3_file.h"

namespace vantrel {

PlayResult PlayRecording(Clock& clock, RecordStore& store, const std::string& path,
                         const PlayerHooks& hooks) {
  PlayResult result;
  const std::uint64_t count = CountSp3Records(store, path);
  std::optional<std::uint32_t> last;
  for (std::uint64_t i = 1; i <= count; ++i) {
    clock.ProcessEvents();
    if (!hooks.buttonDown()) break;
    while (last && hooks.samplingRate() * 1000 > ElapsedMs(*last, clock.NowMs())) {
      WaitMs(clock, 50);
      if (!hooks.buttonDown() || hooks.closing()) break;  // released during the wait
    }
    if (!hooks.buttonDown() || hooks.closing()) break;
    last = clock.NowMs();
    std::string error;
    const std::optional<Sp3Record> record = ReadSp3Record(store, path, i, error);
    if (!record) {
      result.ok = false;
      result.message = error;
      break;
    }
    hooks.show(*record);
    ++result.shown;
  }
  return result;
}

}  // namespace vantrel
