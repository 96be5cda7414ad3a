#pragma once
// The serial port over QSerialPort, used without an event loop of its own: every read
// looks at the device at once, so data that arrived while no events ran is seen.
#include <QSerialPort>
#include <string>

#include "link/serial_port.h"
#include "platform/serial_settings.h"

namespace vantrel {

class QtSerialPort : public SerialPort {
 public:
  // `comPortsIni`: the ComPorts.ini to map port numbers with; "" for the one beside
  // the program.
  explicit QtSerialPort(std::string comPortsIni = "");
  ~QtSerialPort() override;

  void SetPortNumber(int number) override { portNumber_ = number; }
  int PortNumber() const override { return portNumber_; }
  void SetSettings(const std::string& settings) override;
  std::string Settings() const override { return settingsText_; }
  void SetReceiveBufferSize(int bytes) override;
  void Open() override;
  void Close() override;
  bool IsOpen() const override;
  int BytesWaiting() override;
  std::vector<std::uint8_t> ReadAll() override;
  void Write(const std::vector<std::uint8_t>& bytes) override;
  bool Lost() const override { return lost_; }
  std::string Name() const override;

  // The device the current port number opens.
  std::string DevicePath() const;

 private:
  void ApplySettings();
  void Poll();
  // A resource error means the device is gone: the port closes and says so.
  void CloseIfGone();

  std::string comPortsIni_;
  int portNumber_ = 1;
  std::string settingsText_ = "9600,N,8,1";
  SerialSettings settings_;
  int receiveBufferSize_ = 0;
  QSerialPort port_;
  bool lost_ = false;
  // Counts the opens, so a hang-up noticed on an earlier opening cannot close a later one.
  int session_ = 0;
};

}  // namespace vantrel
