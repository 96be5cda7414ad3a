#pragma once
// A whole recording as text, one line per record, written piece by piece so a recording
// of any length converts in constant memory. Shared by the converter window and the
// command-line converter.
#include <cstdint>
#include <functional>
#include <string>

#include "files/record_store.h"

namespace vantrel {

struct Sp3TextResult {
  bool ok = false;
  bool cancelled = false;
  std::string message;        // why it failed, naming the file and the record
  std::uint64_t records = 0;  // record lines written
  std::uint64_t damagedRecord = 0;  // the record that could not be read, 0 for none
};

// Writes one piece of the text; false with the reason in `error` when it could not.
using TextWriter = std::function<bool(const std::string& text, std::string& error)>;
// Before record k of `count`; false cancels the conversion.
using Sp3Progress = std::function<bool(std::uint64_t k, std::uint64_t count)>;

// A missing source is an error (it is never created). A last record cut short by a
// crash is left out, as playback leaves it out.
Sp3TextResult ConvertSp3ToText(RecordStore& store, const std::string& source,
                               const TextWriter& write, const Sp3Progress& progress = {});

}  // namespace vantrel
