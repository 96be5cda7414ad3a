#include "sim/sim_gpib_library.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "link/link_error.h"
#include "util/text.h"

namespace vantrel::sim {

int GpibTimeoutMs(int code) {
  // 10us .. 1000s; codes below 1 ms round up to 1 ms.
  static constexpr std::array<int, 18> kMs{
      0, 1, 1, 1, 1, 1, 3, 10, 30, 100, 300, 1000, 3000, 10000, 30000, 100000, 300000, 1000000};
  if (code < 0 || code >= static_cast<int>(kMs.size())) return 3000;
  return kMs[static_cast<std::size_t>(code)];
}

SimGpibLibrary::SimGpibLibrary(Clock& clock, AnalyzerModel& model, SimGpibOptions options)
    : time_(clock), model_(model), options_(options) {}

void SimGpibLibrary::CheckLoaded() const {
  if (options_.libraryMissing) throw LinkError(kGpibLibraryMissingText);
}

int SimGpibLibrary::Finish(int status, int error) {
  if (error >= 0) {
    status |= kGpibErr;
    iberr_ = error;
  }
  ibsta_ = status;
  return status;
}

SimGpibLibrary::Device* SimGpibLibrary::Find(int ud) {
  auto it = devices_.find(ud);
  return it == devices_.end() ? nullptr : &it->second;
}

bool SimGpibLibrary::Reachable(const Device& d) const {
  if (model_.Faults().vanished) return false;
  return d.pad >= 1 && d.pad <= 30 && (options_.onlyAddress == 0 || d.pad == options_.onlyAddress);
}

bool SimGpibLibrary::RequestingService(const Device& d, std::int64_t now) const {
  return AnswerPending(d) && d.readyAt <= now && (model_.State().serviceRequestEnable & kStbMav) &&
         !d.polled;
}

void SimGpibLibrary::SleepUntil(std::int64_t when) {
  const std::int64_t now = time_.Now();
  if (when > now) time_.GetClock().Sleep(static_cast<int>(when - now));
}

int SimGpibLibrary::ibfind(const std::string& name) {
  CheckLoaded();
  if (options_.noBoard) {
    Finish(kGpibCmpl, kGpibEneb);
    return -1;
  }
  if (ToUpper(Trim(name)) != "GPIB0") {
    Finish(kGpibCmpl, kGpibEdvr);
    return -1;
  }
  Finish(kGpibCmpl);
  return kSimGpibBoardDescriptor;
}

int SimGpibLibrary::ibdev(int board, int pad, int sad, int tmo, int eot, int eos) {
  CheckLoaded();
  (void)eot;
  (void)eos;
  if (options_.noBoard) {
    Finish(kGpibCmpl, kGpibEneb);
    return -1;
  }
  if (board != 0) {
    Finish(kGpibCmpl, kGpibEdvr);
    return -1;
  }
  if (pad < 0 || pad > 30 || (sad != 0 && (sad < 0x60 || sad > 0x7E)) || tmo < 0 || tmo > 17) {
    Finish(kGpibCmpl, kGpibEarg);
    return -1;
  }
  const int ud = nextUd_++;
  Device d;
  d.pad = pad;
  d.timeoutMs = GpibTimeoutMs(tmo);
  devices_[ud] = d;
  Finish(kGpibCmpl);
  return ud;
}

int SimGpibLibrary::ibclr(int ud) {
  CheckLoaded();
  Device* d = Find(ud);
  if (d == nullptr) return Finish(kGpibCmpl, kGpibEdvr);
  if (!Reachable(*d)) return Finish(kGpibCmpl, kGpibEnol);
  d->output.clear();
  d->readPos = 0;
  d->polled = false;
  ++clearCount_;
  return Finish(kGpibCmpl);
}

int SimGpibLibrary::ibwrt(int ud, const void* data, long count) {
  CheckLoaded();
  ibcntl_ = 0;
  Device* d = Find(ud);
  if (d == nullptr) return Finish(kGpibCmpl, kGpibEdvr);
  if (!Reachable(*d)) return Finish(kGpibCmpl, kGpibEnol);
  if (count < 0 || (count > 0 && data == nullptr)) return Finish(kGpibCmpl, kGpibEarg);
  const std::string message(static_cast<const char*>(data), static_cast<std::size_t>(count));
  received_.push_back(message);
  // A new message ends any answer not yet read (the analyzer clears its output queue).
  d->output.clear();
  d->readPos = 0;
  d->polled = false;
  std::size_t from = 0;
  while (from <= message.size()) {
    const auto semi = message.find(';', from);
    const std::string command =
        message.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
    if (!Trim(command).empty()) {
      auto reply = model_.Execute(command, Framing::Gpib);
      if (reply) {
        d->output = std::move(reply->bytes);
        d->readPos = 0;
        d->polled = false;
        d->readyAt = time_.Now() + options_.latencyMs + reply->delayMs;
      }
    }
    if (semi == std::string::npos) break;
    from = semi + 1;
  }
  ibcntl_ = count;
  return Finish(kGpibCmpl);
}

int SimGpibLibrary::ibwait(int ud, int mask) {
  CheckLoaded();
  Device* d = Find(ud);
  if (d == nullptr) return Finish(kGpibCmpl, kGpibEdvr);
  const std::int64_t start = time_.Now();
  if (mask & kGpibRqs) {
    if (RequestingService(*d, start)) return Finish(kGpibCmpl | kGpibRqs);
    const bool willRequest = Reachable(*d) && AnswerPending(*d) && !d->polled &&
                             (model_.State().serviceRequestEnable & kStbMav);
    if (willRequest && d->readyAt - start <= d->timeoutMs) {
      SleepUntil(d->readyAt);
      return Finish(kGpibCmpl | kGpibRqs);
    }
  }
  if (mask & kGpibTimo) {
    SleepUntil(start + d->timeoutMs);
    return Finish(kGpibCmpl | kGpibTimo);
  }
  return Finish(kGpibCmpl);
}

int SimGpibLibrary::ibrsp(int ud, char* statusByte) {
  CheckLoaded();
  Device* d = Find(ud);
  if (d == nullptr) return Finish(kGpibCmpl, kGpibEdvr);
  if (!Reachable(*d)) return Finish(kGpibCmpl, kGpibEnol);
  const std::int64_t now = time_.Now();
  std::uint8_t stb = 0;
  if (AnswerPending(*d) && d->readyAt <= now) stb |= kStbMav;
  if (RequestingService(*d, now)) {
    stb |= kStbRqs;
    d->polled = true;  // the serial poll answers the request
  }
  if (statusByte != nullptr) *statusByte = static_cast<char>(stb);
  return Finish(kGpibCmpl);
}

int SimGpibLibrary::ibrd(int ud, void* buffer, long count) {
  CheckLoaded();
  ibcntl_ = 0;
  Device* d = Find(ud);
  if (d == nullptr) return Finish(kGpibCmpl, kGpibEdvr);
  if (!Reachable(*d)) return Finish(kGpibCmpl, kGpibEnol);
  if (count < 0 || (count > 0 && buffer == nullptr)) return Finish(kGpibCmpl, kGpibEarg);
  const std::int64_t now = time_.Now();
  if (!AnswerPending(*d) || d->readyAt - now > d->timeoutMs) {
    SleepUntil(now + d->timeoutMs);
    return Finish(kGpibCmpl | kGpibTimo, kGpibEabo);
  }
  SleepUntil(d->readyAt);
  const std::size_t n = std::min(static_cast<std::size_t>(count), d->output.size() - d->readPos);
  if (n > 0) std::memcpy(buffer, d->output.data() + d->readPos, n);
  d->readPos += n;
  ibcntl_ = static_cast<long>(n);
  if (d->readPos >= d->output.size()) {
    d->output.clear();
    d->readPos = 0;
    d->polled = false;
    return Finish(kGpibCmpl | kGpibEnd);
  }
  return Finish(kGpibCmpl);
}

int SimGpibLibrary::ibloc(int ud) {
  CheckLoaded();
  Device* d = Find(ud);
  if (d == nullptr) return Finish(kGpibCmpl, kGpibEdvr);
  ++localCount_;
  return Finish(kGpibCmpl);
}

}  // namespace vantrel::sim
