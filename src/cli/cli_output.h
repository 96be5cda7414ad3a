#pragma once
// vantrel-cli's output: fields as "key=value" lines, or one JSON object with the same
// content. Numbers are written in the program's shortest plain form.
#include <string>
#include <vector>

namespace vantrel::cli {

struct Field {
  std::string key;
  std::string value;
  bool number = false;  // written without quotes in JSON
};

Field Text(std::string key, std::string value);
Field Number(std::string key, double value);

std::string FormatFields(const std::vector<Field>& fields, bool json);
// A JSON string literal.
std::string JsonString(const std::string& text);

}  // namespace vantrel::cli
