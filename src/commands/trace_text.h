#pragma once
// Traces sent as text, "{v0,v1,...,v500}": the values start after the first "{" (the
// whole text when there is none) and are separated by ",".
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "commands/raw_trace.h"

namespace vantrel {

// The value fields of a trace text, at most 501; they point into `answer`.
std::vector<std::string_view> TraceTextFields(std::string_view answer);

// The 2.7 GHz model's trace: each value read as a number, rounded and kept within
// 0..1023; points without a value are 0. Returns how many values the text held
// (at most 501).
int ParseTraceTextPoints(std::string_view answer, std::span<std::int16_t, kTracePoints> points);

}  // namespace vantrel
