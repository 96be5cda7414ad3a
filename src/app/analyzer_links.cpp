#include "app/analyzer_links.h"

#include "platform/hidapi_backend.h"
#include "platform/loaded_gpib_library.h"
#include "platform/qt_serial_port.h"

namespace vantrel {

AnalyzerLinks MakeProductionLinks(Clock& clock, Notifier& notifier) {
  return AnalyzerLinks{clock, notifier, std::make_unique<QtSerialPort>(),
                       std::make_unique<LoadedGpibLibrary>(), std::make_unique<HidapiBackend>()};
}

}  // namespace vantrel
