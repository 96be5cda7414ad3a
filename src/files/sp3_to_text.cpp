#include "files/sp3_to_text.h"

#include "files/sp3_file.h"
#include "files/text_tables.h"

namespace vantrel {

Sp3TextResult ConvertSp3ToText(RecordStore& store, const std::string& source,
                               const TextWriter& write, const Sp3Progress& progress) {
  Sp3TextResult result;
  if (!store.Size(source)) {
    result.message = "The recording " + source + " does not exist.";
    return result;
  }
  const std::uint64_t count = CountSp3Records(store, source);
  std::string error;
  if (!write(Sp3TextHeader(), error)) {
    result.message = error;
    return result;
  }
  for (std::uint64_t k = 1; k <= count; ++k) {
    if (progress && !progress(k, count)) {
      result.cancelled = true;
      result.message = "The conversion was cancelled after " + std::to_string(k - 1) + " of " +
                       std::to_string(count) + " records.";
      return result;
    }
    const auto record = ReadSp3Record(store, source, k, error);
    if (!record) {
      result.message = error;
      result.damagedRecord = k;
      return result;
    }
    if (!write(Sp3TextLine(k, *record), error)) {
      result.message = "Record " + std::to_string(k) + " could not be written: " + error;
      return result;
    }
    ++result.records;
  }
  result.ok = true;
  return result;
}

}  // namespace vantrel
