#pragma once
// The selected transport, chosen by the three option buttons of the port frame.

namespace vantrel {

enum class ConnectionKind { ComPort, Usb, Gpib };

// The option buttons' captions: "COM port", "USB", "GPIB".
const char* ConnectionKindText(ConnectionKind kind);

}  // namespace vantrel
