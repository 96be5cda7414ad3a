#pragma once
// A measurement seen through the ticked correction tables: every level raised by the
// tables' sum at its frequency, and every raw trace value by the same amount in counts, so
// the graph, the markers, the results and the exports all show field strength or terminal
// voltage. No table gives the measurement unchanged.
#include <string>
#include <vector>

#include "emi/correction_table.h"
#include "emi/emi_sequences.h"
#include "emi/limit_standard.h"

namespace vantrel {

EmiResults ApplyCorrections(const EmiResults& measured, const LimitStandard& standard,
                            const std::vector<CorrectionTable>& tables);

// "Corrections: antenna.csv, cable.csv" for the graph's header; "" without tables.
std::string CorrectionsCaption(const std::vector<CorrectionTable>& tables);

}  // namespace vantrel
