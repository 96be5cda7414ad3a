#include "link/connection_kind.h"

namespace vantrel {

const char* ConnectionKindText(ConnectionKind kind) {
  switch (kind) {
    case ConnectionKind::ComPort:
      return "COM port";
    case ConnectionKind::Usb:
      return "USB";
    case ConnectionKind::Gpib:
      return "GPIB";
  }
  return "";
}

}  // namespace vantrel
