#pragma once
// Small helpers shared by the simulator's tests.
#include <string>
#include <string_view>

#include "sim/analyzer_model.h"

namespace vantrel::sim::testing {

// The text answer to `query`, terminator removed; "<none>" when nothing came back.
inline std::string Ask(AnalyzerModel& model, std::string_view query,
                       Framing framing = Framing::Serial) {
  auto reply = model.Execute(query, framing);
  if (!reply) return "<none>";
  std::string text(reply->bytes.begin(), reply->bytes.end());
  if (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

inline std::size_t BlockSize(AnalyzerModel& model, std::string_view query, Framing framing) {
  auto reply = model.Execute(query, framing);
  return reply ? reply->bytes.size() : 0;
}

}  // namespace vantrel::sim::testing
