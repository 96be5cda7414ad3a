#include "app/process_globals.h"

namespace vantrel {

std::int16_t ComPortNumber = 1;
std::uint8_t DontShowEMISteps = 0;
std::string IoMessageLog;
bool ClosingFlag = false;

}  // namespace vantrel
