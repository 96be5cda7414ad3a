#include "commands/live_traces.h"

#include <exception>

#include "commands/trace_block.h"
#include "link/byte_codec.h"
#include "link/link_error.h"
#include "link/usb_hid.h"

namespace vantrel {

namespace {

constexpr int kUsbDataBytes = 64;  // data bytes of a trace report after the report ID
constexpr int kRawDataReads = 10;
constexpr int kAllTracesReads = 15;
const char kReadOneQuery[] = "meas:tra:read 1?";
const char kReadAllQuery[] = "meas:tra:read all?";

// The port may close under us (disconnect inside a wait): a closed port has nothing.
int Waiting(SerialPort& serial) {
  return serial.IsOpen() ? serial.BytesWaiting() : 0;
}

std::vector<std::uint8_t> TakeAll(SerialPort& serial) {
  return serial.IsOpen() ? serial.ReadAll() : std::vector<std::uint8_t>{};
}

void DropWaiting(SerialPort& serial) {
  if (serial.IsOpen() && serial.BytesWaiting() > 0) serial.ReadAll();
}

// Bytes 1..64 of a feature report; a short report is padded with zeros so that the
// block keeps its 64-byte grid.
std::vector<std::uint8_t> ReportData(const std::vector<std::uint8_t>& report) {
  std::vector<std::uint8_t> chunk(kUsbDataBytes, 0);
  for (std::size_t i = 1; i < report.size() && i <= kUsbDataBytes; ++i) chunk[i - 1] = report[i];
  return chunk;
}

void AppendUpTo(std::vector<std::uint8_t>& data, const std::vector<std::uint8_t>& chunk,
                std::size_t limit) {
  for (std::uint8_t b : chunk) {
    if (data.size() >= limit) return;
    data.push_back(b);
  }
}

std::uint8_t At(const std::vector<std::uint8_t>& data, std::size_t i) {
  return i < data.size() ? data[i] : 0;
}

// One read of trace 1; false when the serial answer did not arrive in time.
bool ReadTraceOne(CommandTransport& transport, std::vector<std::uint8_t>& data, int& pointBytes) {
  Clock& clock = transport.Ports().clock;
  pointBytes = kSerialPointBytes;
  switch (transport.Kind()) {
    case ConnectionKind::ComPort: {
      SerialPort& serial = transport.Ports().serial;
      DropWaiting(serial);
      transport.SendCMD(kReadOneQuery);
      for (int polls = 1;; ++polls) {
        WaitMs(clock, 50);
        if (polls == 6) {
          DropWaiting(serial);
          transport.SendCMD(kReadOneQuery);
          WaitMs(clock, 100);
        }
        if (polls > 10) {
          data.assign(kSerialTraceBytes, 0);
          return false;
        }
        if (Waiting(serial) >= kSerialTraceBytes - 1) break;
      }
      data = TakeAll(serial);
      return true;
    }
    case ConnectionKind::Usb: {
      UsbHid& usb = transport.Ports().usb;
      transport.SendCMD(kReadOneQuery);
      data.clear();
      AppendUpTo(data, ReportData(usb.HidReadReport()), kSerialTraceBytes);
      const int further = (kSerialTraceBytes - 64) / kUsbDataBytes + 1;  // 23
      for (int r = 0; r < further && data.size() < kSerialTraceBytes; ++r) {
        AppendUpTo(data, ReportData(usb.HidReadReport()), kSerialTraceBytes);
      }
      return true;
    }
    case ConnectionKind::Gpib:
      transport.SendCMD(kReadOneQuery);
      data = transport.ReadGpibBlock();
      pointBytes = kGpibPointBytes;
      return true;
  }
  return false;
}

enum class SerialBlock { Whole, Short, NoHeader };

// The serial read of "meas:tra:read all?". A block that is still short after the polls
// is a failed read: its missing points must never be decoded as zeros.
SerialBlock ReadAllSerial(CommandTransport& transport, std::vector<std::uint8_t>& data,
                          const IoLogSink& log) {
  Clock& clock = transport.Ports().clock;
  SerialPort& serial = transport.Ports().serial;
  DropWaiting(serial);
  transport.SendCMD(kReadAllQuery);
  WaitMs(clock, 400);
  if (Waiting(serial) == 0 && !transport.stopRequested) {
    DropWaiting(serial);
    transport.SendCMD(kReadAllQuery);
    WaitMs(clock, 400);
  }
  // Ten polls at most: a header that comes with the tenth is already too late.
  for (int waits = 0; Waiting(serial) < kSerialHeaderBytes;) {
    if (transport.stopRequested) return SerialBlock::NoHeader;
    WaitMs(clock, 50);
    if (++waits >= 10) return SerialBlock::NoHeader;
  }
  data = TakeAll(serial);
  const int present = CountPresentTraces(data, TraceFraming::SerialUsb);
  const long missing = static_cast<long>(present) * kSerialTraceBytes + kSerialHeaderBytes -
                       static_cast<long>(data.size());
  if (missing > 0) {
    // A pty hands the block over in pieces; wait for the rest, 11 polls at most.
    for (int polls = 0; Waiting(serial) < missing && polls < 11 && !transport.stopRequested;
         ++polls) {
      WaitMs(clock, 50);
    }
    const std::vector<std::uint8_t> rest = TakeAll(serial);
    data.insert(data.end(), rest.begin(), rest.end());
  }
  if (log.text != nullptr && log.ioMessage) AppendSerialTraceLog(*log.text, clock.NowMs(), data);
  const std::size_t whole =
      static_cast<std::size_t>(present) * kSerialTraceBytes + kSerialHeaderBytes;
  return data.size() < whole ? SerialBlock::Short : SerialBlock::Whole;
}

void ReadAllUsb(CommandTransport& transport, std::vector<std::uint8_t>& data,
                const IoLogSink& log) {
  Clock& clock = transport.Ports().clock;
  UsbHid& usb = transport.Ports().usb;
  transport.SendCMD(kReadAllQuery);
  data.clear();
  std::vector<std::uint8_t> chunk = ReportData(usb.HidReadReport());
  AppendUpTo(data, chunk, kAllTracesBytes);
  if (log.text != nullptr) AppendUsbReportLog(*log.text, clock.NowMs(), 1, chunk);
  const int present = CountPresentTraces(data, TraceFraming::SerialUsb);
  // Integer part, as the analyzer counts its reports (0 traces still send one more).
  const int further = (present * kSerialTraceBytes - 55) / kUsbDataBytes + 1;
  for (int m = 2; m <= further + 1 && data.size() < kAllTracesBytes; ++m) {
    chunk = ReportData(usb.HidReadReport());
    AppendUpTo(data, chunk, kAllTracesBytes);
    if (log.text != nullptr) AppendUsbReportLog(*log.text, clock.NowMs(), m, chunk);
  }
}

}  // namespace

bool GetTraceRawData(CommandTransport& transport, std::vector<std::int16_t>& points) {
  points.resize(kTracePoints);
  Clock& clock = transport.Ports().clock;
  Notifier& notifier = transport.Ports().notifier;
  clock.ProcessEvents();
  if (transport.stopRequested) return false;
  try {
    std::vector<std::uint8_t> data;
    for (int attempt = 1; attempt <= kRawDataReads; ++attempt) {
      int pointBytes = kSerialPointBytes;
      bool good = ReadTraceOne(transport, data, pointBytes);
      long long sum = 0;
      for (int k = 0; k < kTracePoints; ++k) {
        const std::size_t at = static_cast<std::size_t>(k * pointBytes);
        const std::int16_t raw = ByteToInt(At(data, at), At(data, at + 1));
        const std::int16_t v = raw < 0 ? std::int16_t{0} : raw > 1023 ? std::int16_t{1023} : raw;
        points[static_cast<std::size_t>(k)] = v;
        sum += v;
      }
      if (sum == 0) good = false;
      // A disconnect inside the waits ends the rereading too.
      if (good || attempt == kRawDataReads || transport.stopRequested) {
        notifier.SetStatus("");
        return good;
      }
      notifier.SetStatus("Rereading trace data.");
    }
  } catch (const LinkError&) {
    notifier.SetStatus("");
  }
  return false;
}

TraceReadResult ReadAllTraces(CommandTransport& transport, std::span<RawTrace> traces,
                              const IoLogSink& log) {
  Clock& clock = transport.Ports().clock;
  try {
    for (int failed = 0;;) {
      clock.ProcessEvents();
      if (transport.stopRequested) return TraceReadResult::Stopped;
      if (traces.size() < 3) {
        transport.Ports().notifier.ShowMessage("指定的陣列太小", MessageIcon::None,
                                               MessageButtons::Ok);
        return TraceReadResult::NoData;
      }
      for (RawTrace& trace : traces) trace.SetValid(false);

      std::vector<std::uint8_t> data;
      TraceFraming framing = TraceFraming::SerialUsb;
      bool whole = true;
      switch (transport.Kind()) {
        case ConnectionKind::ComPort: {
          const SerialBlock got = ReadAllSerial(transport, data, log);
          if (transport.stopRequested) return TraceReadResult::Stopped;
          if (got == SerialBlock::NoHeader) return TraceReadResult::NoData;
          whole = got == SerialBlock::Whole;
          break;
        }
        case ConnectionKind::Usb:
          ReadAllUsb(transport, data, log);
          break;
        case ConnectionKind::Gpib:
          transport.SendCMD(kReadAllQuery);
          data = transport.ReadGpibBlock();
          framing = TraceFraming::Gpib;
          break;
      }
      // A short block is not decoded, so every trace stays invalid; wrong check bytes
      // keep the decoded data.
      if (whole && DecodeTraceBlock(data, framing, traces)) return TraceReadResult::Good;
      ++failed;
      if (failed >= kAllTracesReads) {
        if (log.text != nullptr) AppendGiveUpLog(*log.text, clock.NowMs());
        return whole ? TraceReadResult::CheckFailed : TraceReadResult::NoData;
      }
      if (log.text != nullptr) AppendRetryLog(*log.text, clock.NowMs(), failed);
      WaitMs(clock, 200);
    }
  } catch (const std::exception&) {
    // The transfer ends quietly; the records keep what was decoded so far.
  }
  return TraceReadResult::NoData;
}

}  // namespace vantrel
