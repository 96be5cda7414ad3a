#pragma once
// A failure of the link layer with a description meant for the user (a port that does
// not exist, a port in use, a GPIB library that cannot be loaded, a USB command too long).
#include <stdexcept>
#include <string>

namespace vantrel {

class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vantrel
