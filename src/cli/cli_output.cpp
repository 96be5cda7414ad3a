#include "cli/cli_output.h"

#include <cstdio>

#include "util/format.h"

namespace vantrel::cli {

Field Text(std::string key, std::string value) { return {std::move(key), std::move(value), false}; }

Field Number(std::string key, double value) {
  return {std::move(key), FormatShortest(value), true};
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string FormatFields(const std::vector<Field>& fields, bool json) {
  std::string out;
  if (!json) {
    for (const Field& f : fields) out += f.key + "=" + f.value + "\n";
    return out;
  }
  out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    out += (i ? ", " : "") + JsonString(f.key) + ": " + (f.number ? f.value : JsonString(f.value));
  }
  return out + "}\n";
}

}  // namespace vantrel::cli
