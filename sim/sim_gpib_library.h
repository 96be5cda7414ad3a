#pragma once
// The simulated analyzer behind the program's GpibLibrary seam: one analyzer (one
// model) at every primary address 1..30 of board 0. Messages end with EOI (commands
// may carry ";" separators); after "*sre 16" a ready answer sets MAV and requests
// service (status byte 0x50); waits pass on the Clock (3 s for time-out code 12).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "link/gpib_library.h"
#include "sim/analyzer_model.h"
#include "sim/sim_time.h"

namespace vantrel::sim {

// NI-488.2 error codes (iberr) the stand-in sets.
inline constexpr int kGpibEdvr = 0;  // bad board or device descriptor
inline constexpr int kGpibEnol = 2;  // no listener: nobody at that address
inline constexpr int kGpibEarg = 4;  // invalid argument
inline constexpr int kGpibEabo = 6;  // time-out while reading
inline constexpr int kGpibEneb = 7;  // no GPIB board

inline constexpr int kSimGpibBoardDescriptor = 32;
inline constexpr const char* kGpibLibraryMissingText = "The GPIB library could not be loaded";

struct SimGpibOptions {
  bool libraryMissing = false;  // every call throws LinkError, like a missing library
  bool noBoard = false;         // ibfind and ibdev fail with ENEB
  int onlyAddress = 0;          // 0: an analyzer at every address; else only at this one
  int latencyMs = 2;            // from the message to the answer being ready
};

class SimGpibLibrary : public GpibLibrary {
 public:
  SimGpibLibrary(Clock& clock, AnalyzerModel& model, SimGpibOptions options = {});

  int ibfind(const std::string& name) override;
  int ibdev(int board, int pad, int sad, int tmo, int eot, int eos) override;
  int ibclr(int ud) override;
  int ibwrt(int ud, const void* data, long count) override;
  int ibrd(int ud, void* buffer, long count) override;
  int ibwait(int ud, int mask) override;
  int ibrsp(int ud, char* statusByte) override;
  int ibloc(int ud) override;
  int ibsta() override { return ibsta_; }
  long ibcntl() override { return ibcntl_; }
  int iberr() const { return iberr_; }

  SimGpibOptions& Options() { return options_; }
  AnalyzerModel& Model() { return model_; }
  // Every message written (as sent, ";" included), in order.
  const std::vector<std::string>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }
  // How often ibloc / ibclr reached a device.
  int LocalCount() const { return localCount_; }
  int ClearCount() const { return clearCount_; }

 private:
  struct Device {
    int pad = 0;
    int timeoutMs = 3000;
    std::vector<std::uint8_t> output;
    std::size_t readPos = 0;
    std::int64_t readyAt = 0;
    bool polled = false;
  };
  void CheckLoaded() const;
  int Finish(int status, int error = -1);
  Device* Find(int ud);
  bool Reachable(const Device& d) const;
  bool AnswerPending(const Device& d) const { return d.readPos < d.output.size(); }
  bool RequestingService(const Device& d, std::int64_t now) const;
  void SleepUntil(std::int64_t when);

  SimTime time_;
  AnalyzerModel& model_;
  SimGpibOptions options_;
  std::map<int, Device> devices_;
  int nextUd_ = 1;
  int ibsta_ = 0;
  int iberr_ = 0;
  long ibcntl_ = 0;
  std::vector<std::string> received_;
  int localCount_ = 0;
  int clearCount_ = 0;
};

// Milliseconds of an NI-488.2 time-out code (0 = none: waits give up at once).
int GpibTimeoutMs(int code);

}  // namespace vantrel::sim
