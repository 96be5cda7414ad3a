#pragma once
// The NI-488.2 calls the program makes, as a seam: production loads the library at
// run time, tests use the simulated analyzer's stand-in.
#include <cstdint>
#include <string>

namespace vantrel {

// Status word bits (ibsta).
inline constexpr int kGpibErr = 0x8000;
inline constexpr int kGpibTimo = 0x4000;
inline constexpr int kGpibEnd = 0x2000;
inline constexpr int kGpibSrqi = 0x1000;
inline constexpr int kGpibRqs = 0x0800;
inline constexpr int kGpibCmpl = 0x0100;
// Serial-poll status byte bits.
inline constexpr std::uint8_t kStbRqs = 0x40;
inline constexpr std::uint8_t kStbMav = 0x10;
// ibdev time-out code 12 = 3 s.
inline constexpr int kGpibTimeout3s = 12;

class GpibLibrary {
 public:
  virtual ~GpibLibrary() = default;
  // Each call returns the status word, like the library's own calls, except
  // ibfind and ibdev, which return a descriptor (negative on failure).
  // Any call throws LinkError when the library or the entry point cannot be loaded.
  virtual int ibfind(const std::string& name) = 0;
  virtual int ibdev(int board, int pad, int sad, int tmo, int eot, int eos) = 0;
  virtual int ibclr(int ud) = 0;
  virtual int ibwrt(int ud, const void* data, long count) = 0;
  virtual int ibrd(int ud, void* buffer, long count) = 0;
  virtual int ibwait(int ud, int mask) = 0;
  virtual int ibrsp(int ud, char* statusByte) = 0;
  virtual int ibloc(int ud) = 0;
  // Status word after the last call.
  virtual int ibsta() = 0;
  // Bytes moved by the last read or write.
  virtual long ibcntl() = 0;
};

}  // namespace vantrel
