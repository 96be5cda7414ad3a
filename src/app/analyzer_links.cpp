#include "app/analyzer_links.h"

#include <QFileInfo>

#include "platform/hidapi_backend.h"
#include "platform/loaded_gpib_library.h"
#include "platform/program_folder.h"
#include "platform/qt_serial_port.h"
#include "platform/small_file.h"
#include "platform/standard_folder.h"

namespace vantrel {

AnalyzerLinks MakeProductionLinks(Clock& clock, Notifier& notifier) {
  AnalyzerLinks links{clock, notifier, std::make_unique<QtSerialPort>(),
                      std::make_unique<LoadedGpibLibrary>(), std::make_unique<HidapiBackend>(),
                      {}};
  links.settingsPath = [](const QString& name) {
    // A file written under another letter case (by an older version) is still found.
    return FindFileIgnoringCase(QFileInfo(ProgramFilePath(name)).absolutePath(), name);
  };
  links.standardFolders = [] { return StandardFolders(); };
  links.correctionFolders = [] { return DataFolders(QStringLiteral("corrections")); };
  return links;
}

}  // namespace vantrel
