#include "cli/cli_session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>

#include "cli/sp3_to_text_run.h"
#include "platform/hidapi_backend.h"
#include "platform/loaded_gpib_library.h"
#include "platform/qt_serial_port.h"


namespace vantrel::cli {

namespace {

ConnectionKind KindOf(LinkChoice link) {
  switch (link) {
    case LinkChoice::Usb:
      return ConnectionKind::Usb;
    case LinkChoice::Gpib:
      return ConnectionKind::Gpib;
    default:
      return ConnectionKind::ComPort;
  }
}

// --serial-device: port 1 of a ComPorts.ini of our own names the device.
std::string ScratchIni(const CliOptions& o) {
  if (o.link != LinkChoice::SerialDevice) return {};
  const QString path = QDir::temp().filePath(
      QStringLiteral("vantrel-cli-%1.ini").arg(QCoreApplication::applicationPid()));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(("COM1=" + o.serialDevice + "\n").c_str());
  return path.toStdString();
}

}  // namespace

StderrNotifier::StderrNotifier() : live_(StderrIsTerminal()) {}

MessageResult StderrNotifier::ShowMessage(const std::string& text, MessageIcon, MessageButtons) {
  EndLine();
  shown_.push_back(text);
  std::fprintf(stderr, "vantrel-cli: %s\n", text.c_str());
  return MessageResult::Ok;
}

void StderrNotifier::SetStatus(const std::string& text) {
  if (text.empty() || text == last_ || Shown(text)) return;
  last_ = text;
  shown_.push_back(text);
  if (live_) {
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    lineOpen_ = true;
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

bool StderrNotifier::Shown(const std::string& text) const {
  return std::find(shown_.begin(), shown_.end(), text) != shown_.end();
}

void StderrNotifier::EndLine() {
  if (lineOpen_) std::fputs("\n", stderr);
  lineOpen_ = false;
}

CliSession::CliSession(const CliOptions& options)
    : iniPath_(ScratchIni(options)),
      serial_(std::make_unique<QtSerialPort>(iniPath_)),
      gpib_(std::make_unique<LoadedGpibLibrary>()),
      hid_(std::make_unique<HidapiBackend>()),
      usb_(*hid_, notifier_),
      transport_(LinkPorts{clock_, notifier_, *serial_, *gpib_, usb_}),
      setup_(transport_),
      commands_(transport_),
      source_(commands_),
      refresh_(clock_, notifier_, source_, state_),
      kind_(KindOf(options.link)) {
  transport_.selectedKind = [this] { return kind_; };
  setup_.portText =
      std::to_string(options.link == LinkChoice::SerialDevice ? 1 : options.serialPort);
  setup_.gpibAddressText = std::to_string(options.gpibAddress);
  if (kind_ == ConnectionKind::Usb) {
    setup_.RefreshUsbList();
    setup_.usbDeviceIndex = options.usbIndex;
  }
  refresh_.hooks.selectedKind = [this] { return kind_; };
  refresh_.hooks.serialOpen = [this] { return serial_->IsOpen(); };
  refresh_.hooks.stopRequested = [this] {
    return transport_.CheckLinkLost() || transport_.stopRequested;
  };
  refresh_.hooks.linkLost = [this] { return transport_.CheckLinkLost(); };
}

CliSession::~CliSession() {
  Disconnect();
  if (!iniPath_.empty()) QFile::remove(QString::fromStdString(iniPath_));
}

bool CliSession::Connect() {
  if (kind_ == ConnectionKind::Usb &&
      (setup_.usbDeviceIndex < 0 ||
       setup_.usbDeviceIndex >= static_cast<int>(setup_.usbDevicePaths.size()))) {
    notifier_.ShowMessage("No USB analyzer with index " + std::to_string(setup_.usbDeviceIndex) +
                              " (found " + std::to_string(setup_.usbDevicePaths.size()) + ").",
                          MessageIcon::Critical);
    return false;
  }
  connected_ = setup_.Connect() == ConnectOutcome::Identified;
  notifier_.EndLine();
  if (!connected_ && !setup_.failureCause.empty() && !notifier_.Shown(setup_.failureCause)) {
    std::fprintf(stderr, "vantrel-cli: %s\n", setup_.failureCause.c_str());
  }
  return connected_;
}

void CliSession::Disconnect() {
  if (!connected_) return;
  setup_.Disconnect();
  connected_ = false;
}

bool CliSession::Refresh(bool traces, bool settings) {
  const RefreshResult result = refresh_.GetTrace(traces, settings);
  notifier_.EndLine();
  // The window does this when it draws: the marker trace is what exports and peaks read.
  state_.UpdateMarkerTrace();
  return result == RefreshResult::Done || result == RefreshResult::TraceCheckFailed;
}

}  // namespace vantrel::cli
