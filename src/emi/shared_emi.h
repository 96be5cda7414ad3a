#pragma once
// What the EMI windows of both analyzer models hold in common: the loaded standard, the
// last measurement and the EMI reference level. Whichever window measures or loads last
// leaves them for the other.
#include "emi/emi_sequences.h"
#include "emi/limit_standard.h"

namespace vantrel {

struct SharedEmi {
  LimitStandard standard;
  EmiResults results;
  double refLevel = 107;  // dBuV
};

}  // namespace vantrel
