// Wave text files as bytes from disk: every line either fills an entry, is passed over,
// or ends the reading with a reason; entries outside 0..500 are never touched.
#include "files/wave_text.h"
#include "fuzz_check.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EmiTrace table{};
  const auto error = ReadWaveText(fuzz::Text(data, size), table);
  FUZZ_CHECK(!error || !error->empty());
  return 0;
}
