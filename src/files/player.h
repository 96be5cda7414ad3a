#pragma once
// Playing a recording back: its records one after another at the sampling rate, each
// filling the window state exactly as a refresh does, so the graph cannot tell a played
// record from a measured one. The file is only read, never created or changed.
#include <functional>
#include <string>

#include "files/record_store.h"
#include "files/sp3_record.h"
#include "link/clock.h"

namespace vantrel {

struct PlayerHooks {
  std::function<bool()> buttonDown;  // "Play back from PC" still down
  std::function<bool()> closing;     // the window has begun to close
  std::function<double()> samplingRate;
  std::function<void(const Sp3Record&)> show;  // fill the state and repaint
};

struct PlayResult {
  bool ok = true;
  std::string message;
  std::uint64_t shown = 0;
};

PlayResult PlayRecording(Clock& clock, RecordStore& store, const std::string& path,
                         const PlayerHooks& hooks);

}  // namespace vantrel
