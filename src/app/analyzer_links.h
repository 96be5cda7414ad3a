#pragma once
// The devices one analyzer window talks through. Production builds them from the
// platform adapters; tests put fakes or the simulated analyzer in their place.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "emi/shared_emi.h"
#include "files/record_store.h"
#include "link/clock.h"
#include "link/gpib_library.h"
#include "link/hid_backend.h"
#include "link/serial_port.h"
#include "util/notifier.h"

namespace vantrel {

struct AnalyzerLinks {
  Clock& clock;
  Notifier& notifier;
  std::unique_ptr<SerialPort> serial;
  std::unique_ptr<GpibLibrary> gpib;
  std::unique_ptr<HidBackend> hid;
  // Where a settings file of this name is kept; without it (tests) the window reads and
  // writes no settings files.
  std::function<QString(const QString& name)> settingsPath;
  // The folders of the limit standards, in the order their files replace each other;
  // without it (tests) no standard is listed.
  std::function<QStringList()> standardFolders;
  // The folders of the correction tables, in the same order; none without it.
  std::function<QStringList()> correctionFolders;
  // Where recordings are written and played from; null gives the files on disk.
  std::unique_ptr<RecordStore> records;
  // The EMI standard, measurement and reference level shared with the other model's EMI
  // windows; null gives the window its own.
  std::shared_ptr<SharedEmi> sharedEmi;
};

using AnalyzerLinksFactory = std::function<AnalyzerLinks(Clock&, Notifier&)>;

// QSerialPort (ComPorts.ini beside the program), the NI-488.2 library loaded at run
// time, hidapi.
AnalyzerLinks MakeProductionLinks(Clock& clock, Notifier& notifier);

}  // namespace vantrel
