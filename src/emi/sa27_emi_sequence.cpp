#include "emi/sa27_emi_sequence.h"

#include "emi/emi_rules.h"
#include "util/datetime.h"
#include "util/format.h"

namespace vantrel {
namespace {

constexpr double kSa27MinSettleMs = 3000;

// Thrown between steps: the user stopped, or the analyzer stopped answering.
struct SequenceStopped {};
struct LinkFailed {};

// The bands measured for a standard: its own, or its range as one band.
std::vector<ScanBand> Bands(const LimitStandard& standard) {
  if (!standard.bands.empty()) return standard.bands;
  if (standard.freqStart < standard.freqStop) return {{standard.freqStart, standard.freqStop}};
  return {};
}

}  // namespace

double Sa27SettleMs(double sweepTimeMs) {
  return TwiceSweepSettleMs(sweepTimeMs, kSa27MinSettleMs);
}

void Sa27EmiSequence::Status(const std::string& text) {
  commands_.Link().LinkNotifier().SetStatus(text);
}

void Sa27EmiSequence::Wait(double ms) {
  WaitMs(commands_.Link().LinkClock(), ms);
  if (stopped() || commands_.Link().stopRequested) throw SequenceStopped{};
}

void Sa27EmiSequence::CheckLink() {
  if (commands_.Link().CommunicationFailed() || !commands_.Link().IsOpen()) throw LinkFailed{};
}

void Sa27EmiSequence::MeasureBand(const ScanBand& band, double refLevel, EmiResults& measured) {
  Status("Setting start Freq. to " + StatusMhz(band.start));
  commands_.Set_FreqStart(band.start);
  Wait(1500);
  Status("Setting stop Freq. to " + StatusMhz(band.stop));
  commands_.Set_FreqStop(band.stop);
  Wait(1500);
  const double sweepMs = commands_.Get_SweepTime();
  CheckLink();
  measured.header.sweepTime = FormatShortest(sweepMs) + " ms";
  const double settle = Sa27SettleMs(sweepMs);
  Status(SettleStatus(settle));
  Wait(settle);
  Status("Getting wave data.");
  std::vector<std::int16_t>& buffer = measured.bandBuffer;
  buffer.assign(kTracePoints, 0);
  const int read =
      commands_.ReadTrace(kSa27LiveTraceWaitMs, std::span<std::int16_t, kTracePoints>(buffer));
  // A short or missing trace is no sweep: its zeros would read as a quiet band.
  if (read < kTracePoints) throw LinkFailed{};
  RaiseRawLevels(buffer, refLevel);
  Wait(500);
  AppendBandPoints(band, refLevel, buffer, measured.trace);
}

void Sa27EmiSequence::ReadBack(EmiHeader& header) {
  Wait(300);
  Status("Getting UUT Amp. Unit. ");
  header.ampUnit = commands_.Get_RefUnit();
  Wait(300);
  Status("Getting UUT Ref. Level. ");
  header.refLevel = static_cast<float>(commands_.Get_RefLevel());
  Wait(300);
  // Read as the analyzer's sequence has it; the graph keeps the standard's scale.
  Status("Getting UUT Amp. Scale. ");
  commands_.Get_Scale();
  Wait(300);
  Status("Getting UUT RBW.");
  header.rbw = commands_.Get_RBW();
  Wait(300);
  Status("Getting UUT VBW.");
  header.vbw = commands_.Get_VBW();
  Wait(300);
  commands_.Get_SweepMode();
  CheckLink();
}

EmiOutcome Sa27EmiSequence::Run(const LimitStandard& standard, double refLevel, EmiResults& out) {
  if (running_) return EmiOutcome::Busy;
  const std::vector<ScanBand> bands = Bands(standard);
  Notifier& notifier = commands_.Link().LinkNotifier();
  if (bands.empty()) {
    notifier.ShowMessage("The selected standard has no scan bands; nothing was measured.",
                         MessageIcon::Warning);
    return EmiOutcome::NothingToMeasure;
  }
  running_ = true;
  EmiOutcome outcome = EmiOutcome::Done;
  EmiResults measured;
  measured.refLevel = refLevel;
  try {
    Status("Setting scale to " + FormatShortest(double(standard.scale)));
    commands_.Set_Scale(standard.scale);
    Wait(1000);
    Status("Setting unit to dBuV.");
    commands_.Set_Unit("dBuV");
    Wait(500);
    Status("Setting ref. level to " + FormatShortest(refLevel) + " dBuV.");
    commands_.Set_RefLevel(refLevel);
    Wait(500);
    Status("Setting RBW to " + standard.rbw);
    commands_.Set_RBW(standard.rbw);
    Wait(1000);
    Status("Switch trace to live trace for getting. ");
    commands_.SwitchToLive();
    Wait(500);
    Status("Getting UUT internal date and time. ");
    measured.header.timeStamp = commands_.Get_Clock();
    CheckLink();
    if (measured.header.timeStamp.empty()) {
      measured.header.timeStamp =
          FormatDateTime(commands_.Link().LinkClock().LocalNow(), "yyyy/mm/dd hh:mm:ss");
    }
    Wait(500);
    measured.trace.reserve(bands.size() * kEmiTracePoints);
    const auto total = static_cast<double>(bands.size());
    for (std::size_t b = 0; b < bands.size(); ++b) {
      notifier.SetProgress(static_cast<double>(b), total);
      MeasureBand(bands[b], refLevel, measured);
    }
    notifier.SetProgress(total, total);
    ReadBack(measured.header);
    out = std::move(measured);
  } catch (const SequenceStopped&) {
    outcome = EmiOutcome::Stopped;
  } catch (const LinkFailed&) {
    outcome = EmiOutcome::Stopped;
    notifier.ShowMessage(
        "The analyzer did not answer as expected; the measurement was stopped and the last one "
        "is kept.",
        MessageIcon::Warning);
  }
  Status("");
  notifier.SetProgress(-1, 0);
  running_ = false;
  return outcome;
}

}  // namespace vantrel
