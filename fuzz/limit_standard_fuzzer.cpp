// Limit standard files as bytes from disk: any file lists and loads with problems that
// name a line, and what loads has rising bands and finite limit lines.
#include <cmath>

#include "emi/limit_standard.h"
#include "emi/standard_list.h"
#include "fuzz_check.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::Text(data, size);
  std::vector<StandardProblem> problems;
  (void)ReadStandardHeader(bytes, &problems);
  LimitStandard standard;
  ParseStandard(bytes, standard, &problems);
  for (const StandardProblem& p : problems) FUZZ_CHECK(p.line >= 0 && !p.text.empty());
  for (const ScanBand& band : standard.bands) FUZZ_CHECK(band.start < band.stop);
  for (const auto* line : {&standard.lowerLimit, &standard.upperLimit}) {
    for (const LimitSegment& s : *line) {
      FUZZ_CHECK(std::isfinite(s.startLevel) && std::isfinite(s.stopLevel));
    }
  }
  const std::vector<StandardFile> files{{"a.txt", std::string(bytes), ""},
                                        {"b.txt", std::string(bytes.substr(0, size / 2)), ""}};
  for (const char* mode : {"Conducted", "Radiation"}) {
    const StandardListing listing = ListStandards(files, mode);
    FUZZ_CHECK(listing.entries.size() <= files.size());
  }
  return 0;
}
