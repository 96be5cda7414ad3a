#pragma once
// The output baud rate the client set on the pty, in bits per second; -1 when unknown.
// Rates set the other way (an explicit number instead of a Bnnn code) count too.
namespace vantrel::sim {

int PtyBaudRate(int fd);

}  // namespace vantrel::sim
