#include "emi/emi_sequences.h"

#include "commands/live_traces.h"
#include "display/graph_mapping.h"
#include "emi/emi_rules.h"
#include "link/link_error.h"
#include "util/datetime.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

std::int16_t RawAt(std::span<const std::int16_t> buffer, int k) {
  return k >= 0 && static_cast<std::size_t>(k) < buffer.size() ? buffer[static_cast<std::size_t>(k)] : 0;
}

// Thrown between steps once the user disconnected; ends the sequence quietly.
struct SequenceStopped {};

}  // namespace

void AppendBandPoints(const ScanBand& band, double refLevel, std::span<const std::int16_t> raw,
                      std::vector<EmiPoint>& trace) {
  const std::int16_t ref = RoundToInt16(refLevel);
  for (int k = 0; k < kEmiTracePoints; ++k) {
    // The raw field holds the trace value the level came from: the graph is drawn from it
    // (an index there would draw a ramp instead of the spectrum).
    trace.push_back({band.start + k * (band.stop - band.start) / 500,
                     PointHeightTodBm(ref, k, raw), RawAt(raw, k)});
  }
}

AnalyzerSettings MeasuredSettings(const EmiHeader& header, double scale) {
  AnalyzerSettings s;
  s.RefLevel = header.refLevel;
  s.RefUnit = header.ampUnit;
  s.Scale = static_cast<float>(scale);
  s.RBW = header.rbw;
  s.VBW = header.vbw;
  s.SweepTime = header.sweepTime;
  s.TimeStamp = header.timeStamp;
  return s;
}

EmiSequences::EmiSequences(AnalyzerCommands& commands) : commands_(commands) {}

template <typename Body>
EmiOutcome EmiSequences::Guarded(double refLevel, EmiResults& out, Body&& body) {
  if (running_) return EmiOutcome::Busy;
  running_ = true;
  // A stop meant for an earlier refresh (Escape, a second press) is not meant for this one.
  CommandTransport& transport = commands_.Transport();
  transport.stopRequested = false;
  transport.receiveBuffer.clear();
  // Of unknown length until a sequence knows its settle times.
  Progress(0, 0);
  EmiOutcome outcome = EmiOutcome::Done;
  EmiResults measured;
  measured.refLevel = refLevel;
  try {
    body(measured);
    out = std::move(measured);
  } catch (const SequenceStopped&) {
    outcome = EmiOutcome::Stopped;
  } catch (const LinkError&) {
    // The link is gone: the disconnect that follows tells the user, not each step.
    outcome = EmiOutcome::Stopped;
  }
  Status(outcome == EmiOutcome::Done ? "" : kEmiStoppedStatus);
  Progress(-1, 0);
  running_ = false;
  return outcome;
}

void EmiSequences::Progress(double done, double total) {
  commands_.Transport().Ports().notifier.SetProgress(done, total);
}

void EmiSequences::CheckStop() {
  if (stopped() || commands_.Transport().stopRequested) throw SequenceStopped{};
}

void EmiSequences::Status(const std::string& text) {
  commands_.Transport().Ports().notifier.SetStatus(text);
}

void EmiSequences::Wait(double ms) {
  WaitMs(commands_.Transport().Ports().clock, ms);
  CheckStop();
}

void EmiSequences::ScaleUnitAndReference(const LimitStandard& standard, double refLevel,
                                         double waitAfterReference) {
  Status("Setting scale to " + FormatShortest(double(standard.scale)));
  commands_.Set_Scale(standard.scale);
  Wait(1000);
  Status("Setting unit to dBuV.");
  commands_.Set_AmpUnit("dBuV");
  Wait(500);
  Status("Setting ref. level to " + FormatShortest(refLevel) + " dBuV.");
  commands_.Set_RefLvl(refLevel, "dBuV");
  Wait(waitAfterReference);
}

void EmiSequences::Settings(const LimitStandard& standard, double refLevel,
                            const std::string& rbw, EmiHeader& header,
                            double waitAfterDetection) {
  CheckStop();
  Status("Setting detection to " + standard.detection);
  commands_.Set_Detection(standard.detection, true);
  Wait(1000);
  ScaleUnitAndReference(standard, refLevel, 500);
  Status("Setting RBW to " + rbw);
  commands_.Set_RBW(rbw, true);
  Wait(1000);
  Status("Getting UUT RBW.");
  header.rbw = commands_.Get_RBW();
  Wait(500);
  Status("Setting sweep time to auto.");
  commands_.Set_SweepAuto(true);
  Wait(500);
  Status("Getting detector mode.");
  header.detection = commands_.Get_Detection();
  Wait(waitAfterDetection);
}

void EmiSequences::SetRange(double start, double stop, double current) {
  // The analyzer never holds a start above its stop.
  if (start >= current) {
    Status("Setting stop Freq. to " + StatusMhz(stop));
    commands_.Set_FreqStop(stop);
    Wait(1500);
    Status("Setting start Freq. to " + StatusMhz(start));
    commands_.Set_FreqStart(start);
  } else {
    Status("Setting start Freq. to " + StatusMhz(start));
    commands_.Set_FreqStart(start);
    Wait(1500);
    Status("Setting stop Freq. to " + StatusMhz(stop));
    commands_.Set_FreqStop(stop);
  }
}

void EmiSequences::Settle(double ms) {
  Status(SettleStatus(ms));
  Wait(ms);
}

void EmiSequences::Transfer(std::vector<std::int16_t>& buffer, double refLevel, double waitMs) {
  Status("Getting wave data.");
  GetTraceRawData(commands_.Transport(), buffer);
  RaiseRawLevels(buffer, refLevel);
  Wait(waitMs);
}

void EmiSequences::ReadBack(EmiHeader& header) {
  Wait(300);
  Status("Getting UUT Amp. Unit. ");
  header.ampUnit = commands_.Get_RefUnit();
  Wait(300);
  Status("Getting UUT Ref. Level. ");
  header.refLevel = commands_.Get_RefLevel();
  Wait(300);
  Status("Getting UUT VBW.");
  header.vbw = commands_.Get_VBW();
  Wait(300);
  header.sweepTime = commands_.Get_SweepTime_str();
}

void EmiSequences::Fill501(const LimitStandard& standard, double refLevel, EmiResults& out) {
  const std::int16_t ref = RoundToInt16(refLevel);
  out.trace.resize(kEmiTracePoints);
  for (int i = 0; i < kEmiTracePoints; ++i) {
    EmiPoint& p = out.trace[i];
    p.frequency = standard.freqStart + (standard.freqStop - standard.freqStart) / 500 * i;
    p.level = PointHeightTodBm(ref, i, out.liveBuffer);
    p.raw = RawAt(out.liveBuffer, i);
    out.markerPoints[i] = p;
  }
}

EmiOutcome EmiSequences::RunConductedScan(LimitStandard standard, double refLevel,
                                          EmiResults& out) {
  if (!running_ && standard.bands.empty()) {
    commands_.Transport().Ports().notifier.ShowMessage(
        "The selected standard has no scan bands; nothing was measured.", MessageIcon::Warning);
    return EmiOutcome::NothingToMeasure;
  }
  return Guarded(refLevel, out, [&](EmiResults& measured) {
    measured.trace.reserve(standard.bands.size() * kEmiTracePoints);
    Settings(standard, refLevel, "9KHz", measured.header, 500);
    const float rbw = RbwInMHz(measured.header.rbw);
    measured.header.timeStamp = FormatDateTime(commands_.Transport().Ports().clock.LocalNow(),
                                               "yyyy/mm/dd hh:mm:ss");
    // Band k of n, weighed by the settle times, which are most of each band's time.
    double settleTotal = 0, settleDone = 0;
    for (const ScanBand& band : standard.bands) settleTotal += ConductedSettleMs(band, rbw);
    for (const ScanBand& band : standard.bands) {
      Progress(settleDone, settleTotal);
      Status("Getting stop Freq.");
      const double current = commands_.Get_FreqStop();
      Wait(500);
      SetRange(band.start, band.stop, current);
      Wait(1500);
      Settle(ConductedSettleMs(band, rbw));
      settleDone += ConductedSettleMs(band, rbw);
      Progress(settleDone, settleTotal);
      Transfer(measured.bandBuffer, refLevel, 500);
      AppendBandPoints(band, refLevel, measured.bandBuffer, measured.trace);
    }
    ReadBack(measured.header);
  });
}

EmiOutcome EmiSequences::RunRadiatedScan(LimitStandard standard, double refLevel,
                                         EmiResults& out) {
  if (!running_ && !(standard.freqStart < standard.freqStop)) {
    commands_.Transport().Ports().notifier.ShowMessage(
        "The selected standard has no frequency range; nothing was measured.",
        MessageIcon::Warning);
    return EmiOutcome::NothingToMeasure;
  }
  return Guarded(refLevel, out, [&](EmiResults& measured) {
    Settings(standard, refLevel, "120KHz", measured.header, 300);
    measured.header.timeStamp = FormatDateTime(commands_.Transport().Ports().clock.LocalNow(),
                                               "yyyy/mm/dd hh:mm:ss");
    const double current = commands_.Get_FreqStop();
    SetRange(standard.freqStart, standard.freqStop, current);
    Wait(3000);
    Settle(RadiatedSettleMs(commands_.Get_SweepTime()));
    Transfer(measured.liveBuffer, refLevel, 300);
    Fill501(standard, refLevel, measured);
    ReadBack(measured.header);
  });
}

EmiOutcome EmiSequences::RunSinglePointTest(LimitStandard standard, double refLevel,
                                            EmiResults& out) {
  return Guarded(refLevel, out, [&](EmiResults& measured) {
    CheckStop();
    ScaleUnitAndReference(standard, refLevel, 1000);
    const std::string rbw = ToLower(standard.emiMode) == "conducted" ? "9KHz" : "120KHz";
    Status("Setting RBW to " + rbw);
    commands_.Set_RBW(rbw, true);
    Wait(1000);
    for (int attempt = 0; attempt < 3; ++attempt) {
      Status("Getting UUT RBW.");
      measured.header.rbw = commands_.Get_RBW();
      Wait(300);
      const std::string plain = ToUpper(RemoveChars(measured.header.rbw, " "));
      if (Contains(measured.header.rbw, "H") && plain != "0KHZ" && plain != "0MHZ") break;
    }
    const float rbwMHz = RbwInMHz(measured.header.rbw);
    Status("Setting sweep time to auto.");
    commands_.Set_SweepAuto(true);
    Wait(500);
    measured.header.timeStamp = FormatDateTime(commands_.Transport().Ports().clock.LocalNow(),
                                               "yyyy/mm/dd hh:mm:ss");
    Status("Setting stop Freq. to " + StatusMhz(standard.freqStop));
    commands_.Set_Span(standard.span);
    Wait(2000);
    Status("Setting Center Freq. to " + StatusMhz(standard.center));
    commands_.Set_FreqCenter(standard.center);
    Wait(2000);
    Status("Setting detection to " + standard.detection);
    commands_.Set_Detection(standard.detection, true);
    Wait(3000);
    Status("Getting detector mode.");
    measured.header.detection = commands_.Get_Detection();
    Wait(1000);
    Settle(SinglePointSettleMs(measured.header.detection, rbwMHz, standard));
    Transfer(measured.liveBuffer, refLevel, 300);
    Fill501(standard, refLevel, measured);
    ReadBack(measured.header);
  });
}

}  // namespace vantrel
