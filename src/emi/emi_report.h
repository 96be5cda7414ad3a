#pragma once
// The pre-compliance report: what was measured, against which standard, through which
// corrections, the results table with its verdicts, and the overall verdict, as HTML that
// is both the report's HTML copy and the text of its PDF.
#include <string>
#include <vector>

#include "emi/emi_results.h"
#include "emi/emi_sequences.h"

namespace vantrel {

struct DeviceUnderTest {
  std::string name, model, serialNumber, operatorName, notes;
};

struct EmiReportContent {
  DeviceUnderTest device;
  std::string dateTime;  // when the report was written
  std::string standardName, mode, detector, rbw;
  double refLevel = 0;
  std::vector<std::string> corrections;  // file names
  EmiHeader header;                      // the measurement's own read-back
  EmiResultsTable results;
  std::string pictureName;  // the graph picture the HTML refers to ("" for none)
  int pictureWidth = 720;   // in the page's pixels
};

inline constexpr char kReportDisclaimer[] =
    "Pre-compliance measurement; not a substitute for an accredited test.";

std::string EmiReportHtml(const EmiReportContent& report);

}  // namespace vantrel
