#pragma once
// Values that live for the whole process and are shared by the windows.
#include <cstdint>
#include <string>

namespace vantrel {

// Serial port number offered to the analyzer windows; 1 at startup.
extern std::int16_t ComPortNumber;
// 1 = do not open the EMI step page after connecting.
extern std::uint8_t DontShowEMISteps;
// Lines the trace transfer logs for the "IO Message" window.
extern std::string IoMessageLog;
// Set when the analyzer window starts to close; drawing and playback loops stop.
extern bool ClosingFlag;

}  // namespace vantrel
