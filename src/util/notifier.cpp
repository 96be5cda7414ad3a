#include "util/notifier.h"

namespace vantrel {

void ShowErrorBox(Notifier& notifier, long number, const std::string& description) {
  notifier.ShowMessage("Error Number: " + std::to_string(number) + "\r\n" + description,
                       MessageIcon::Critical);
}

}  // namespace vantrel
