#include "emi/standard_list.h"

#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsWideRangeDetector(const std::string& lower) {
  return lower == "normal" || lower == "sample" || lower == "peak+";
}

// Every file with a "name"; with `mode`, only those whose "emimode" equals it.
StandardListing List(const std::vector<StandardFile>& files, const std::string* mode) {
  StandardListing listing;
  for (const StandardFile& file : files) {
    FileProblems found{file.path, {}};
    if (!file.readError.empty()) {
      found.problems.push_back({0, file.readError});
      listing.problems.push_back(std::move(found));
      continue;
    }
    const StandardHeader header = ReadStandardHeader(file.bytes);
    // The whole file is checked once here, so its problems show before it is picked.
    LimitStandard scratch;
    ParseStandard(file.bytes, scratch, &found.problems);
    if (!found.problems.empty()) listing.problems.push_back(std::move(found));
    if (!header.hasName) continue;
    if (mode && (!header.hasEmiMode || ToLower(header.emiMode) != *mode)) continue;
    listing.entries.push_back({file.path, header.name, header.description, header.regulation});
  }
  return listing;
}

}  // namespace

StandardListing ListStandards(const std::vector<StandardFile>& files, std::string_view modeText) {
  const std::string mode = ToLower(modeText);
  return List(files, &mode);
}

StandardListing ListNamedStandards(const std::vector<StandardFile>& files) {
  return List(files, nullptr);
}

int FindRegulation(const std::vector<StandardEntry>& entries, std::string_view regulation) {
  if (entries.empty()) return -1;
  const std::string wanted = ToLower(regulation);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (ToLower(entries[i].regulation) == wanted) return static_cast<int>(i);
  }
  return 0;
}

namespace {

std::vector<std::string> Words(std::string_view name) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : ToLower(name)) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool IsDecimal(std::string_view w) {
  return !w.empty() && w.find_first_not_of("0123456789.") == std::string_view::npos;
}

// The measuring distance a name gives ("Radiated 3 m", "10m"), empty when it gives none.
std::string Distance(const std::vector<std::string>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view w = words[i];
    if (IsDecimal(w) && i + 1 < words.size() && words[i + 1] == "m") return std::string(w);
    if (w.size() > 1 && w.back() == 'm' && IsDecimal(w.substr(0, w.size() - 1))) {
      return std::string(w.substr(0, w.size() - 1));
    }
  }
  return "";
}

int Count(const std::vector<std::string>& words, const std::string& word) {
  int n = 0;
  for (const std::string& w : words) n += w == word;
  return n;
}

}  // namespace

int ChooseStandard(const std::vector<StandardEntry>& entries, const StandardEntry* current,
                   std::string_view rememberedPath) {
  if (entries.empty()) return -1;
  if (!current) return 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].path == current->path) return static_cast<int>(i);
  }
  const std::string regulation = ToLower(current->regulation);
  auto sameRegulation = [&](const StandardEntry& e) { return ToLower(e.regulation) == regulation; };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!rememberedPath.empty() && entries[i].path == rememberedPath && sameRegulation(entries[i])) {
      return static_cast<int>(i);
    }
  }
  const std::vector<std::string> mine = Words(current->name);
  const std::string distance = Distance(mine);
  int best = -1;
  std::pair<int, int> bestScore{0, 0};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!sameRegulation(entries[i])) continue;
    const std::vector<std::string> theirs = Words(entries[i].name);
    int common = 0, others = 0;
    for (const std::string& w : theirs) (Count(mine, w) > 0 ? common : others) += 1;
    const std::string d = Distance(theirs);
    const std::pair<int, int> score{!distance.empty() && d == distance ? 1 : 0, common - others};
    if (best < 0 || score > bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
    }
  }
  return best >= 0 ? best : 0;
}

std::vector<std::string> DescribeProblems(const std::vector<FileProblems>& problems) {
  std::vector<std::string> lines;
  for (const FileProblems& file : problems) {
    for (const StandardProblem& p : file.problems) {
      std::string where = FileName(file.path);
      if (p.line > 0) where += " line " + FormatShortest(double(p.line));
      lines.push_back(where + ": " + p.text);
    }
  }
  return lines;
}

std::string DetectorListSpelling(std::string_view detection) {
  const std::string trimmed = Trim(detection);
  const std::string lower = ToLower(trimmed);
  if (lower == "normal") return "Normal";
  if (lower == "sample") return "Sample";
  if (lower == "peak+" || lower == "peak") return "Peak+";
  if (lower == "avg") return "AVG";
  if (lower == "qp" || lower == "qpeak") return "QPeak";
  return trimmed;
}

DetectorChoice AdjustDetector(EmiTestType type, std::string_view comboText,
                              std::string_view fileDetection) {
  const std::string chosen = Trim(comboText);
  const bool chosenFits = IsWideRangeDetector(ToLower(chosen));
  if (type == EmiTestType::WideRangeScan) {
    return {chosenFits ? chosen : std::string("Normal"),
            std::vector<std::string>{"Normal", "Sample", "Peak+"}};
  }
  DetectorChoice choice{chosenFits ? chosen : DetectorListSpelling(fileDetection), std::nullopt};
  const std::string file = ToLower(fileDetection);
  if (file == "avg") {
    choice.list = std::vector<std::string>{"Normal", "Sample", "Peak+", "AVG"};
  } else if (file == "qp" || file == "qpeak") {
    choice.list = std::vector<std::string>{"Normal", "Sample", "Peak+", "QPeak"};
  }
  return choice;
}

std::optional<std::string> SpotCenterForMode(std::string_view modeText, std::string_view spotText) {
  const std::string mode = ToLower(modeText);
  const double spot = NumericValue(spotText);
  if (mode == "conducted" && spot > 30) return "15";
  if (mode == "radiation" && !(spot > 30)) return "100";
  return std::nullopt;
}

}  // namespace vantrel
