// Correction tables as bytes from disk: any file reads with problems that name a line;
// what is usable has rising frequencies above 0 and finite values that stay within the
// table's own range between and beyond its points.
#include <algorithm>
#include <cmath>

#include "emi/correction_table.h"
#include "fuzz_check.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CorrectionTable table = ParseCorrectionTable(fuzz::Text(data, size), "fuzz.csv");
  for (const StandardProblem& p : table.problems) FUZZ_CHECK(p.line >= 0 && !p.text.empty());
  if (!table.Usable()) return 0;
  double lo = table.points.front().db, hi = lo;
  for (std::size_t i = 0; i < table.points.size(); ++i) {
    const CorrectionPoint& p = table.points[i];
    FUZZ_CHECK(p.frequency > 0 && std::isfinite(p.frequency) && std::isfinite(p.db));
    if (i > 0) FUZZ_CHECK(p.frequency > table.points[i - 1].frequency);
    lo = std::min(lo, p.db);
    hi = std::max(hi, p.db);
  }
  const double span = hi - lo;
  for (const double f : {0.0, 1e-9, 0.15, 1.0, 30.0, 1000.0, 3e3, 1e300, table.points.back().frequency}) {
    const double db = CorrectionAt(table, f);
    if (std::isfinite(span)) FUZZ_CHECK(db >= lo - 1e-6 * (1 + std::fabs(lo)) && db <= hi + 1e-6 * (1 + std::fabs(hi)));
  }
  return 0;
}
