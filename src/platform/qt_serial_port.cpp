#include "platform/qt_serial_port.h"

#include <QDir>
#include <QTimer>

#include "link/link_error.h"
#include "platform/com_port_map.h"
#include "platform/program_folder.h"

namespace vantrel {
namespace {

QSerialPort::Parity ToQtParity(char parity) {
  switch (parity) {
    case 'E':
      return QSerialPort::EvenParity;
    case 'O':
      return QSerialPort::OddParity;
    case 'M':
      return QSerialPort::MarkParity;
    case 'S':
      return QSerialPort::SpaceParity;
    default:
      return QSerialPort::NoParity;
  }
}

QSerialPort::StopBits ToQtStopBits(int tenths) {
  if (tenths == 15) return QSerialPort::OneAndHalfStop;
  if (tenths == 20) return QSerialPort::TwoStop;
  return QSerialPort::OneStop;
}

std::string DefaultIniPath() {
  return ProgramFilePath(QStringLiteral("ComPorts.ini")).toStdString();
}

}  // namespace

QtSerialPort::QtSerialPort(std::string comPortsIni) : comPortsIni_(std::move(comPortsIni)) {
  settings_ = ParseSerialSettings(settingsText_);
  // A device that hangs up between exchanges (a pulled adapter, a closed terminal) keeps
  // its read notifier firing with nothing to read, which would spin the event loop. The
  // port closes as lost once the notification has returned, and the next exchange says so.
  QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                   [this](QSerialPort::SerialPortError error) {
                     if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
                       return;
                     }
                     const int session = session_;
                     QTimer::singleShot(0, &port_, [this, session] {
                       if (session != session_ || !port_.isOpen()) return;
                       port_.clearError();
                       lost_ = true;
                       Close();
                     });
                   });
}

QtSerialPort::~QtSerialPort() {
  Close();
}

void QtSerialPort::SetSettings(const std::string& settings) {
  settings_ = ParseSerialSettings(settings);  // throws before anything changes
  settingsText_ = settings;
  if (port_.isOpen()) ApplySettings();
}

void QtSerialPort::SetReceiveBufferSize(int bytes) {
  receiveBufferSize_ = bytes > 0 ? bytes : 0;
  port_.setReadBufferSize(receiveBufferSize_);
}

std::string QtSerialPort::DevicePath() const {
  return MapComPort(portNumber_, comPortsIni_.empty() ? DefaultIniPath() : comPortsIni_);
}

void QtSerialPort::ApplySettings() {
  port_.setBaudRate(settings_.baud);
  port_.setParity(ToQtParity(settings_.parity));
  port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits));
  port_.setStopBits(ToQtStopBits(settings_.stopTenths));
  port_.setFlowControl(QSerialPort::NoFlowControl);
}

std::string QtSerialPort::Name() const {
  return "COM" + std::to_string(portNumber_) + " (" + DevicePath() + ")";
}

void QtSerialPort::Open() {
  if (port_.isOpen()) throw LinkError("Port already open");
  lost_ = false;
  ++session_;
  const std::string device = DevicePath();
  const std::string name = Name();
  port_.setPortName(QString::fromStdString(device));
  port_.setReadBufferSize(receiveBufferSize_);
  ApplySettings();
  if (port_.open(QIODevice::ReadWrite)) {
    ApplySettings();  // some settings only reach the device once it is open
    port_.clear();
    return;
  }
  const QSerialPort::SerialPortError error = port_.error();
  const std::string detail = port_.errorString().toStdString();
  port_.clearError();
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      throw LinkError("Serial port " + name + " does not exist.");
    case QSerialPort::PermissionError:
      throw LinkError("Serial port " + name + " is in use by another program or access is denied.");
    case QSerialPort::OpenError:
      throw LinkError("Serial port " + name + " is already open.");
    default:
      throw LinkError("Serial port " + name + " cannot be opened: " + detail);
  }
}

void QtSerialPort::Close() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialPort::IsOpen() const {
  return port_.isOpen();
}

void QtSerialPort::Poll() {
  // Takes what the device holds now without waiting: a zero time-out only reads.
  if (port_.isOpen()) {
    port_.waitForReadyRead(0);
    if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
    CloseIfGone();
  }
}

void QtSerialPort::CloseIfGone() {
  if (port_.error() != QSerialPort::ResourceError) return;
  port_.clearError();
  lost_ = true;
  Close();
}

int QtSerialPort::BytesWaiting() {
  if (!port_.isOpen()) return 0;
  Poll();
  return static_cast<int>(port_.bytesAvailable());
}

std::vector<std::uint8_t> QtSerialPort::ReadAll() {
  if (!port_.isOpen()) return {};
  Poll();
  if (!port_.isOpen()) return {};  // the device went away during the poll
  const QByteArray data = port_.readAll();
  return std::vector<std::uint8_t>(data.begin(), data.end());
}

void QtSerialPort::Write(const std::vector<std::uint8_t>& bytes) {
  if (!port_.isOpen() || bytes.empty()) return;
  port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  // Without an event loop the bytes would wait in Qt's buffer; push them out now, in
  // short bounded rounds (a serial line at 57600 baud takes 4518 bytes in under 1 s).
  for (int round = 0; round < 20 && port_.bytesToWrite() > 0; ++round) {
    if (!port_.waitForBytesWritten(50)) break;
  }
  CloseIfGone();
}

}  // namespace vantrel
