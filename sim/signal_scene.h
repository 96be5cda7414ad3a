#pragma once
// What the simulated analyzer "sees" at its input: a noise floor that follows the
// resolution bandwidth, CW tones, harmonic combs and broadband humps. A sweep turns
// the scene into 501 levels in dBm, the same way for the same seed and sweep number.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantrel::sim {

struct CwTone {
  double freqHz = 0;
  double levelDbm = 0;
};

// Fundamental and harmonics 2..count, each `dropPerHarmonicDb` below the one before.
struct HarmonicComb {
  double fundamentalHz = 0;
  double levelDbm = 0;
  double dropPerHarmonicDb = 3;
  int count = 10;
};

// A Gaussian-shaped broadband emission; its level grows with the RBW like noise.
struct BroadbandHump {
  double centreHz = 0;
  double widthHz = 0;  // standard deviation of the Gaussian shape
  double densityDbmPerMHz = 0;
};

// Detector codes as the instrument numbers them.
enum class Detector { Normal = 1, Sample = 2, PeakPlus = 3, Average = 4, QuasiPeak = 5 };

struct SweepSettings {
  double startHz = 0;
  double stopHz = 0;
  double rbwHz = 0;
  Detector detector = Detector::Normal;
  std::uint64_t sweepNumber = 0;  // varies the noise from sweep to sweep
};

struct SignalScene {
  std::vector<CwTone> tones;
  std::vector<HarmonicComb> combs;
  std::vector<BroadbandHump> humps;
  double noiseFigureDb = 30;   // floor = -174 dBm/Hz + 10 log10(RBW) + noise figure
  double noiseJitterDb = 1.5;  // spread of the floor from point to point
  std::uint64_t seed = 0x5eed1234;

  // A few tones, a harmonic comb, a hump near 1.8 GHz, and below 30 MHz a supply's
  // harmonics that pass the class B conducted limits with a wide margin.
  static SignalScene Default();
  // The floor alone, no jitter: for tests that want exact levels.
  static SignalScene Quiet();
  // A device under test for EMI mode: a switching supply's harmonics and broadband
  // noise on the mains (0.15-30 MHz) and clock harmonics up to 1 GHz, some of them
  // above the class B limits when the unit is dBuV.
  static SignalScene Emi();
  // "default", "quiet" or "emi"; nullopt for another name.
  static std::optional<SignalScene> Named(std::string_view name);

  double NoiseFloorDbm(double rbwHz) const;
  // 501 levels in dBm, point n at start + (stop - start) * n / 500.
  std::vector<double> Sweep(const SweepSettings& sweep) const;
};

}  // namespace vantrel::sim
