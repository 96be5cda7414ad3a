// Stand-in NI-488.2 library: the simulated analyzer at every primary address, in the
// calling process, on a real clock. Exports the calls the program makes, the status
// globals, and vantrel_sim_gpib_control for end-to-end tests to inject faults.
#include <cstring>
#include <mutex>
#include <string>

#include "sim/analyzer_model.h"
#include "sim/sim_faults.h"
#include "sim/sim_gpib_library.h"
#include "sim/steady_clock.h"

#if defined(_WIN32)
#define VANTREL_GPIB_VISIBLE __declspec(dllexport)
#else
#define VANTREL_GPIB_VISIBLE __attribute__((visibility("default")))
#endif
#define VANTREL_GPIB_EXPORT extern "C" VANTREL_GPIB_VISIBLE

extern "C" {
VANTREL_GPIB_VISIBLE int ibsta = 0;
VANTREL_GPIB_VISIBLE int iberr = 0;
VANTREL_GPIB_VISIBLE long ibcntl = 0;
VANTREL_GPIB_VISIBLE int ibcnt = 0;
}

namespace {

struct Instrument {
  vantrel::sim::SteadyClock clock;
  vantrel::sim::AnalyzerModel model{clock};
  vantrel::sim::SimGpibLibrary library{clock, model};
};

std::mutex& Lock() {
  static std::mutex mutex;
  return mutex;
}

Instrument& TheInstrument() {
  static Instrument instrument;
  return instrument;
}

// Copies the library's status into the exported globals after every call.
int Publish(int result) {
  auto& lib = TheInstrument().library;
  ibsta = lib.ibsta();
  iberr = lib.iberr();
  ibcntl = lib.ibcntl();
  ibcnt = static_cast<int>(ibcntl);
  return result;
}

}  // namespace

VANTREL_GPIB_EXPORT int ibfind(const char* name) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibfind(name ? name : ""));
}

VANTREL_GPIB_EXPORT int ibdev(int board, int pad, int sad, int tmo, int eot, int eos) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibdev(board, pad, sad, tmo, eot, eos));
}

VANTREL_GPIB_EXPORT int ibclr(int ud) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibclr(ud));
}

VANTREL_GPIB_EXPORT int ibwrt(int ud, const void* buffer, long count) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibwrt(ud, buffer, count));
}

VANTREL_GPIB_EXPORT int ibrd(int ud, void* buffer, long count) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibrd(ud, buffer, count));
}

VANTREL_GPIB_EXPORT int ibwait(int ud, int mask) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibwait(ud, mask));
}

VANTREL_GPIB_EXPORT int ibrsp(int ud, char* statusByte) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibrsp(ud, statusByte));
}

VANTREL_GPIB_EXPORT int ibloc(int ud) {
  std::lock_guard<std::mutex> guard(Lock());
  return Publish(TheInstrument().library.ibloc(ud));
}

VANTREL_GPIB_EXPORT int ThreadIbsta(void) {
  return ibsta;
}
VANTREL_GPIB_EXPORT int ThreadIberr(void) {
  return iberr;
}
VANTREL_GPIB_EXPORT long ThreadIbcntl(void) {
  return ibcntl;
}
VANTREL_GPIB_EXPORT int ThreadIbcnt(void) {
  return ibcnt;
}

// Same options as vantrel-sim ("answer-delay=500", "silent", "reset", ...), plus
// "no-board" (ibfind and ibdev fail) and "only-address=N" (nobody at other addresses). Returns 0 on
// success, -1 for an unknown option or bad value.
VANTREL_GPIB_EXPORT int vantrel_sim_gpib_control(const char* option) {
  std::lock_guard<std::mutex> guard(Lock());
  if (option == nullptr) return -1;
  auto& instrument = TheInstrument();
  const std::string text = option;
  if (text == "no-board" || text == "no-board=1") {
    instrument.library.Options().noBoard = true;
    return 0;
  }
  if (text.rfind("only-address=", 0) == 0) {
    instrument.library.Options().onlyAddress = std::atoi(text.c_str() + 13);
    return 0;
  }
  if (text == "reset") instrument.library.Options() = vantrel::sim::SimGpibOptions{};
  return vantrel::sim::ApplyFaultOption(instrument.model, text).empty() ? 0 : -1;
}
