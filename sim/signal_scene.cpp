#include "sim/signal_scene.h"

#include <algorithm>
#include <cmath>

namespace vantrel::sim {
namespace {

constexpr int kPoints = 501;

// A well-mixed 64-bit hash: repeatable noise without a stateful generator.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// Roughly normal, mean 0, deviation 1 (sum of four uniforms, rescaled).
double NormalNoise(std::uint64_t seed, std::uint64_t sweep, int point) {
  double sum = 0;
  std::uint64_t h = Mix(seed ^ Mix(sweep * 1000003ULL + static_cast<std::uint64_t>(point)));
  for (int i = 0; i < 4; ++i) {
    h = Mix(h);
    sum += static_cast<double>(h >> 11) / 9007199254740992.0;  // [0,1)
  }
  return (sum - 2.0) * std::sqrt(3.0);
}

double DbmToMw(double dbm) {
  return std::pow(10.0, dbm / 10.0);
}
double MwToDbm(double mw) {
  return 10.0 * std::log10(mw);
}

// How the detector shifts and spreads the noise floor, in dB.
double DetectorFloorOffset(Detector d) {
  switch (d) {
    case Detector::PeakPlus:
      return 3.0;
    case Detector::QuasiPeak:
      return 2.0;
    case Detector::Normal:
      return 1.5;
    case Detector::Average:
      return -2.5;
    case Detector::Sample:
      return 0.0;
  }
  return 0.0;
}
double DetectorJitterFactor(Detector d) {
  return d == Detector::Average ? 0.2 : 1.0;
}

// Gaussian RBW filter: 3 dB down at half the bandwidth from the centre.
double FilterLossDb(double offsetHz, double rbwHz) {
  const double r = 2.0 * offsetHz / rbwHz;
  return std::min(150.0, 3.0103 * r * r);
}

}  // namespace

SignalScene SignalScene::Default() {
  SignalScene s;
  s.tones = {{100e6, -20}, {433.92e6, -35}, {915e6, -30}, {2400e6, -25}};
  // A well-behaved device on the mains: a switching supply's harmonics from 180 kHz
  // (37 dBuV falling to 31.5) and a clock line at 12 MHz (42 dBuV), above the bottom of
  // the EMI graph at 107 dBuV and well under the class B conducted limits.
  s.tones.push_back({12e6, -65});
  s.combs = {{150e6, -40, 3, 10}, {180e3, -70, 0.5, 12}};
  s.humps = {{1800e6, 60e6, -62}};
  return s;
}

SignalScene SignalScene::Quiet() {
  SignalScene s;
  s.noiseJitterDb = 0;
  return s;
}

SignalScene SignalScene::Emi() {
  SignalScene s;
  // -50 dBm is 57 dBuV: the supply's low harmonics break the 0.15-0.5 MHz limits.
  s.combs = {{130e3, -40, 0.12, 230}, {25e6, -62, 0.35, 40}};
  s.tones = {{48e6, -58}, {433.92e6, -60}};
  s.humps = {{1.2e6, 0.6e6, -38}};
  return s;
}

std::optional<SignalScene> SignalScene::Named(std::string_view name) {
  if (name == "default") return Default();
  if (name == "quiet") return Quiet();
  if (name == "emi") return Emi();
  return std::nullopt;
}

double SignalScene::NoiseFloorDbm(double rbwHz) const {
  return -174.0 + 10.0 * std::log10(std::max(rbwHz, 1.0)) + noiseFigureDb;
}

std::vector<double> SignalScene::Sweep(const SweepSettings& sweep) const {
  std::vector<double> levels(kPoints);
  const double rbw = std::max(sweep.rbwHz, 1.0);
  const double step = (sweep.stopHz - sweep.startHz) / (kPoints - 1);
  // A swept point covers one step of frequency; every detector but Sample sees the
  // strongest response inside it, so narrow tones do not fall between the points.
  const double halfBin = sweep.detector == Detector::Sample ? 0.0 : std::abs(step) / 2.0;
  const double floor = NoiseFloorDbm(rbw) + DetectorFloorOffset(sweep.detector);
  const double jitter = noiseJitterDb * DetectorJitterFactor(sweep.detector);

  std::vector<CwTone> lines = tones;
  for (const auto& comb : combs) {
    for (int k = 1; k <= comb.count; ++k) {
      lines.push_back({comb.fundamentalHz * k, comb.levelDbm - comb.dropPerHarmonicDb * (k - 1)});
    }
  }

  for (int n = 0; n < kPoints; ++n) {
    const double f = sweep.startHz + step * n;
    double mw = DbmToMw(floor + jitter * NormalNoise(seed, sweep.sweepNumber, n));
    for (const auto& hump : humps) {
      if (hump.widthHz <= 0) continue;
      const double z = (f - hump.centreHz) / hump.widthHz;
      const double shapeDb = -10.0 * std::log10(std::exp(1.0)) * z * z / 2.0;
      if (shapeDb < -150) continue;
      mw += DbmToMw(hump.densityDbmPerMHz + 10.0 * std::log10(rbw / 1e6) + shapeDb);
    }
    for (const auto& line : lines) {
      const double offset = std::max(0.0, std::abs(line.freqHz - f) - halfBin);
      const double loss = FilterLossDb(offset, rbw);
      if (loss < 150) mw += DbmToMw(line.levelDbm - loss);
    }
    levels[n] = MwToDbm(mw);
  }
  return levels;
}

}  // namespace vantrel::sim
