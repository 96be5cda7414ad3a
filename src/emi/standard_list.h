#pragma once
// The standards offered for the current EMI mode, the detector list that goes with a
// loaded standard, and the rules that pair a conducted and a radiated standard.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emi/limit_standard.h"

namespace vantrel {

struct StandardEntry {
  std::string path;
  std::string name;
  std::string description;
  std::string regulation;  // trimmed
};

// One file of the standard folder as the window read it. `readError` non-empty when the
// file could not be read (its bytes are then ignored).
struct StandardFile {
  std::string path;
  std::string bytes;
  std::string readError;
};

struct FileProblems {
  std::string path;
  std::vector<StandardProblem> problems;
};

struct StandardListing {
  std::vector<StandardEntry> entries;
  std::vector<FileProblems> problems;  // every file's, listed or not
};

// The files whose "emimode" equals `modeText` (ignoring case) and that have a "name",
// in the given order.
StandardListing ListStandards(const std::vector<StandardFile>& files, std::string_view modeText);
// Every file that has a "name", whatever its mode (the 2.7 GHz model's list).
StandardListing ListNamedStandards(const std::vector<StandardFile>& files);

// Index of the first entry whose regulation equals `regulation` ignoring case; 0 when
// none does; -1 for an empty list.
int FindRegulation(const std::vector<StandardEntry>& entries, std::string_view regulation);

// The entry of a new list (the list of the other mode, or the same list read again) that
// takes the place of the user's standard `current` (none: nothing was selected):
// the same file where it is listed; else, of the entries of its regulation, the one the
// user last chose in this mode (`rememberedPath`), else the one whose name matches best
// (the same measuring distance where both names give one, then the most words in
// common and the fewest others); else the first. -1 for an empty list.
int ChooseStandard(const std::vector<StandardEntry>& entries, const StandardEntry* current,
                   std::string_view rememberedPath);

// "file.txt line 4: text", one per problem.
std::vector<std::string> DescribeProblems(const std::vector<FileProblems>& problems);

enum class EmiTestType { WideRangeScan, SinglePointTest };

struct DetectorChoice {
  std::string detection;                         // becomes LimitStandard::detection
  std::optional<std::vector<std::string>> list;  // the new detector list; none: unchanged
};

// The detector after loading a standard: the user's choice where it fits the test type,
// else the wide-range default "Normal" or the file's detector `fileDetection`, spelt as
// the detector list spells it ("QP" becomes "QPeak"), so the list shows what is measured.
DetectorChoice AdjustDetector(EmiTestType type, std::string_view comboText,
                              std::string_view fileDetection);
// A detector name as the detector list spells it: "QP" and "qpeak" are "QPeak", "avg" is
// "AVG", "peak" is "Peak+"; a name the list never holds stays as written (trimmed).
std::string DetectorListSpelling(std::string_view detection);

// The spot centre text the mode calls for ("15" conducted, "100" radiated), or none when
// the typed centre already fits.
std::optional<std::string> SpotCenterForMode(std::string_view modeText, std::string_view spotText);

}  // namespace vantrel
