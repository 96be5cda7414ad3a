#pragma once
// The simulated analyzer behind the program's SerialPort seam, in process. Commands
// are split at CR and fed to the model; answers become readable after a latency on the
// Clock and trickle in at the baud rate (10 bits a byte), so a trace block arrives in
// pieces; one ReadAll takes at most 4095 bytes, like a pty.
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "link/serial_port.h"
#include "sim/analyzer_model.h"
#include "sim/line_splitter.h"
#include "sim/sim_time.h"

namespace vantrel::sim {

inline constexpr const char* kPortInUseText = "Port already in use";
inline constexpr const char* kNoSuchPortText = "Invalid port number";

enum class WrongBaudBehaviour { Silence, Garbage };
enum class OpenFailure { None, InUse, NoSuchPort };

struct SimSerialOptions {
  int instrumentBaud = 115200;  // the analyzer answers only at this baud rate
  int latencyMs = 3;            // from the command's CR to the first answer byte
  bool paceByBaud = true;       // answers take 10 bits a byte on the Clock
  int maxReadChunk = 4095;
  WrongBaudBehaviour wrongBaud = WrongBaudBehaviour::Silence;
  OpenFailure openFailure = OpenFailure::None;
  int analyzerPort = 0;  // 0: every port number reaches the analyzer; else only this one exists
};

class SimSerialPort : public SerialPort {
 public:
  SimSerialPort(Clock& clock, AnalyzerModel& model, SimSerialOptions options = {});

  void SetPortNumber(int number) override { portNumber_ = number; }
  int PortNumber() const override { return portNumber_; }
  void SetSettings(const std::string& settings) override;
  std::string Settings() const override { return settings_; }
  void SetReceiveBufferSize(int bytes) override { receiveBufferSize_ = bytes; }
  void Open() override;
  void Close() override;
  bool IsOpen() const override;
  int BytesWaiting() override;
  std::vector<std::uint8_t> ReadAll() override;
  void Write(const std::vector<std::uint8_t>& bytes) override;
  // The vanish fault while open: the device went away under the open port.
  bool Lost() const override;

  SimSerialOptions& Options() { return options_; }
  AnalyzerModel& Model() { return model_; }
  // Baud rate of the current settings.
  int Baud() const { return baud_; }
  int ReceiveBufferSize() const { return receiveBufferSize_; }
  // Every command line received at the right baud rate, in order.
  const std::vector<std::string>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }
  // Puts bytes on the line as if the analyzer had sent them now (stale data, noise).
  void InjectBytes(const std::vector<std::uint8_t>& bytes);

 private:
  void Enqueue(const std::vector<std::uint8_t>& bytes, double readyAt);
  void Pump();

  SimTime time_;
  AnalyzerModel& model_;
  SimSerialOptions options_;
  int portNumber_ = 1;
  std::string settings_ = "9600,N,8,1";
  int baud_ = 9600;
  int receiveBufferSize_ = 8192;
  bool open_ = false;
  LineSplitter splitter_;
  std::deque<std::pair<double, std::uint8_t>> inFlight_;  // (readable at, byte)
  double lineFreeAt_ = 0;
  std::deque<std::uint8_t> receive_;
  std::vector<std::string> received_;
  std::uint32_t noise_ = 12345;
};

}  // namespace vantrel::sim
