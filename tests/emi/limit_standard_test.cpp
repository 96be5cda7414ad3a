// Limit standard files: what a file sets, what it lists under, and what a malformed one
// reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "emi/limit_standard.h"
#include "emi/standard_list.h"

namespace vantrel {
namespace {

LimitStandard Parse(const std::string& text, std::vector<StandardProblem>* problems = nullptr) {
  LimitStandard s;
  ParseStandard(text, s, problems);
  return s;
}

TEST(LimitStandard, SectionsAndKeysAsWritten) {
  struct Case {
    const char* text;
    double LimitStandard::*field;
    double expected;
  };
  const Case cases[] = {
      {"[ General ]\nFreq Start = 0.15\n", &LimitStandard::freqStart, 0.15},
      {"[general]\nfreqstart=0.15\n", &LimitStandard::freqStart, 0},
      {"[general]\nfreq  start=0.15\n", &LimitStandard::freqStart, 0},
      {"x\n[GENERAL]\r\nfreq start=1\r\nfreq stop=5 MHz\r\n", &LimitStandard::center, 3},
      {"[general]\nfreq start=1\n[other]\nfreq stop=5\n[general]\nfreq stop=9\n",
       &LimitStandard::span, 8},
      {"[general]\nfreq stop=abc\n", &LimitStandard::freqStop, 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(Parse(c.text).*c.field, c.expected) << c.text;
}

TEST(LimitStandard, ValuesKeepTheirBlanksAndStopAtASecondEquals) {
  const StandardHeader h = ReadStandardHeader(
      "[general]\nname= A=B\ndescription=Conducted 0.15-30MHz\nregulation =  EN 55032 B \n"
      "emimode = Conducted\n");
  EXPECT_EQ(h.name, " A");
  EXPECT_EQ(h.description, "Conducted 0.15-30MHz");
  EXPECT_EQ(h.regulation, "EN 55032 B");
  EXPECT_EQ(h.emiMode, " Conducted");
  EXPECT_EQ(Parse("[general]\nscale=10.5\ndetection=QPeak\n").scale, 10);
  EXPECT_EQ(Parse("[general]\ndetection=QPeak\n").detection, "QPeak");
}

TEST(LimitStandard, BandsAndLimitLines) {
  const LimitStandard s = Parse(
      "[band]\n1=0.15,0.5\n0.5,30,7\n[Limit Lower]\n1=0.15,66,0.5,56,9\n\n2=0.5,56,5,56\n"
      "[LIMIT2]\na=30,40,230,40\n");
  EXPECT_EQ(s.bands, (std::vector<ScanBand>{{0.15, 0.5}, {0.5, 30}}));
  EXPECT_EQ(s.lowerLimit, (std::vector<LimitSegment>{{0.15, 66, 0.5, 56}, {0.5, 56, 5, 56}}));
  EXPECT_TRUE(s.lowerPresent);
  EXPECT_EQ(s.upperLimit, (std::vector<LimitSegment>{{30, 40, 230, 40}}));
}

TEST(LimitStandard, ANewFileKeepsWhatItDoesNotSetButNotTheLimits) {
  LimitStandard s;
  ParseStandard("[general]\nscale=10\n[band]\n0.15,30\n[limitlower]\n0.15,1,30,1\n", s);
  ParseStandard("[general]\nname=b\n[limitupper]\n30,2,300,2\n", s);
  EXPECT_EQ(s.scale, 10);
  EXPECT_EQ(s.bands, (std::vector<ScanBand>{{0.15, 30}}));
  EXPECT_FALSE(s.lowerPresent);
  EXPECT_EQ(s.lowerLimit, std::vector<LimitSegment>(1));
  EXPECT_TRUE(s.upperPresent);
}

TEST(StandardList, ListedOnlyWithANameAndTheMode) {
  struct Case {
    const char* general;
    bool listed;
  };
  const Case cases[] = {
      {"name=A\nemimode=Conducted", true},
      {"name=A\nemimode=CONDUCTED", true},
      {"name=A\nemimode = Conducted", false},
      {"name=A\nemimode=Radiation", false},
      {"name=A", false},
      {"emimode=Conducted", false},
      {"emimode=Conducted\nname=A", true},  // the name on the file's last line, no newline
  };
  for (const Case& c : cases) {
    const auto listing =
        ListStandards({{"/s/a.txt", std::string("[general]\n") + c.general, ""}}, "Conducted");
    EXPECT_EQ(listing.entries.size(), c.listed ? 1u : 0u) << c.general;
  }
}

TEST(StandardList, ModeChangeFindsTheSameRegulation) {
  const std::vector<StandardFile> files = {
      {"c1.txt", "[general]\nname=C1\nemimode=Conducted\nregulation=FCC B\n", ""},
      {"r1.txt", "[general]\nname=R1\nemimode=Radiation\nregulation=CISPR 32 B\n", ""},
      {"r2.txt", "[general]\nname=R2\nemimode=Radiation\nregulation= fcc b\n", ""},
  };
  const auto radiated = ListStandards(files, "Radiation").entries;
  EXPECT_EQ(FindRegulation(radiated, "FCC B"), 1);
  EXPECT_EQ(FindRegulation(radiated, "other"), 0);
  EXPECT_EQ(FindRegulation(ListStandards(files, "none").entries, "FCC B"), -1);
}

TEST(StandardList, ARelistedListKeepsTheUsersStandardOrItsBestCounterpart) {
  const auto entry = [](const char* path, const char* name, const char* regulation) {
    return StandardEntry{path, name, "", regulation};
  };
  const StandardEntry conducted = entry("b_c", "CISPR 32 / EN 55032 Class B Conducted", "CISPR 32 Class B");
  const StandardEntry fcc = entry("f_c", "FCC Part 15 Class B Conducted", "FCC 15 Class B");
  const std::vector<StandardEntry> radiated{
      entry("a_10", "CISPR 32 / EN 55032 Class A Radiated 10 m", "CISPR 32 Class A"),
      entry("b_10", "CISPR 32 / EN 55032 Class B Radiated 10 m", "CISPR 32 Class B"),
      entry("b_3", "CISPR 32 / EN 55032 Class B Radiated 3 m", "CISPR 32 Class B"),
      entry("b_3g", "CISPR 32 / EN 55032 Class B Radiated 3 m 1-3 GHz", "CISPR 32 Class B"),
      entry("f_3", "FCC Part 15 Class B Radiated 3m", "FCC 15 Class B"),
  };
  const StandardEntry tenMetres = entry("x_10", "Other Radiated 10m", "CISPR 32 Class B");
  const StandardEntry threeMetres = entry("x_3", "Other radiated 3 m", "cispr 32 class b");
  const struct {
    const char* why;
    const StandardEntry* current;
    const char* remembered;
    int chosen;
  } cases[] = {
      {"the same file stays", &radiated[2], "", 2},
      {"the user's last choice of the regulation", &conducted, "b_3", 2},
      {"a remembered file of another regulation does not count", &conducted, "f_3", 1},
      {"no distance given: the fewest other words, the first of equals", &conducted, "", 1},
      {"the same measuring distance, written either way", &threeMetres, "", 2},
      {"the same measuring distance", &tenMetres, "", 1},
      {"another regulation", &fcc, "", 4},
      {"nothing selected", nullptr, "b_3", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseStandard(radiated, c.current, c.remembered), c.chosen) << c.why;
  const StandardEntry unknown = entry("u", "Unknown", "none");
  EXPECT_EQ(ChooseStandard(radiated, &unknown, ""), 0);
  EXPECT_EQ(ChooseStandard({}, &conducted, ""), -1);
}

TEST(StandardList, MalformedFilesReportTheirLines) {
  struct Case {
    std::string text;
    int line;  // of the first problem
  };
  const Case cases[] = {
      {"[general]\nname=A\n\nemimode=Conducted\n", 3},
      {"[band]\n0.15,0.5\n\n0.5,30\n", 3},
      {"[band]\n1=0.15\n", 2},
      {"[limit1]\n0.15,66,0.5\n", 2},
      {"[general]\nname=A\nfreq start\n", 3},
      {"[general]\nname=\xE9t\xE9\n", 2},
      {"", 0},
      {std::string("[general]\n\0\x01\x02", 13), 0},
      {"[general]\nfreq start=30\nfreq stop=30\n", 3},
      {"[general]\nfreq start=-1\n", 2},
      {"[general]\nfreq stop=1e999\n", 2},
      {"[band]\n30,0.15\n", 2},
      {"[limitupper]\n-5,1,3,1\n", 2},
      {"[general]\nscale=0\n", 2},
  };
  for (const Case& c : cases) {
    const std::vector<StandardFile> files = {{"/std/bad.txt", c.text, ""}};
    const auto listing = ListStandards(files, "Conducted");
    ASSERT_EQ(listing.problems.size(), 1u) << c.text;
    EXPECT_EQ(listing.problems[0].problems.at(0).line, c.line) << c.text;
  }
}

TEST(StandardList, HostileFilesAreSafe) {
  std::string huge(10 << 20, 'x');
  huge.replace(0, 30, "[general]\nname=H\nemimode=C\nx");
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  const std::vector<StandardFile> files = {
      {"huge.txt", huge, ""},
      {"bin.txt", binary, ""},
      {"headers.txt", "[general]\n[band]\n[limit1]\n[limit2]\n", ""},
      {"gone.txt", "", "cannot be read"},
  };
  const auto listing = ListStandards(files, "C");
  ASSERT_EQ(listing.entries.size(), 1u);  // only the first megabyte is read, names and all
  EXPECT_EQ(DescribeProblems(listing.problems),
            (std::vector<std::string>{"huge.txt: larger than 1 MB; the rest is ignored",
                                      "bin.txt: not a text file", "gone.txt: cannot be read"}));
  const LimitStandard s = Parse("[general]\n[band]\n[limit1]\n[limit2]\n");
  EXPECT_TRUE(s.bands.empty());
  EXPECT_FALSE(s.upperPresent);
}

TEST(StandardList, DetectorFollowsTheTestType) {
  using L = std::vector<std::string>;
  struct Case {
    EmiTestType type;
    const char* combo;
    const char* file;
    const char* detection;
    std::optional<L> list;
  };
  const L wide{"Normal", "Sample", "Peak+"};
  const Case cases[] = {
      {EmiTestType::WideRangeScan, " Sample ", "QP", "Sample", wide},
      {EmiTestType::WideRangeScan, "AVG", "AVG", "Normal", wide},
      {EmiTestType::SinglePointTest, "QPeak", "AVG", "AVG", L{"Normal", "Sample", "Peak+", "AVG"}},
      {EmiTestType::SinglePointTest, "peak+", "qp", "peak+",
       L{"Normal", "Sample", "Peak+", "QPeak"}},
      {EmiTestType::SinglePointTest, "", "Normal", "Normal", std::nullopt},
      // The file's spelling becomes the list's, so the list shows what is measured.
      {EmiTestType::SinglePointTest, "", "QP", "QPeak", L{"Normal", "Sample", "Peak+", "QPeak"}},
      {EmiTestType::SinglePointTest, "Normal ", "avg", "Normal", L{"Normal", "Sample", "Peak+", "AVG"}},
      {EmiTestType::SinglePointTest, "x", "avg", "AVG", L{"Normal", "Sample", "Peak+", "AVG"}},
  };
  for (const Case& c : cases) {
    const DetectorChoice d = AdjustDetector(c.type, c.combo, c.file);
    EXPECT_EQ(d.detection, c.detection) << c.combo;
    EXPECT_EQ(d.list, c.list) << c.combo;
  }
}

TEST(ShippedStandards, EveryFileListsAndLoadsCleanly) {
  std::vector<StandardFile> files;
  for (const auto& e : std::filesystem::directory_iterator(VANTREL_STANDARD_DIR)) {
    if (e.path().extension() != ".txt") continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files.push_back({e.path().string(), bytes.str(), ""});
  }
  const auto conducted = ListStandards(files, "Conducted");
  const auto radiated = ListStandards(files, "Radiation");
  EXPECT_EQ(DescribeProblems(conducted.problems), std::vector<std::string>{});
  EXPECT_EQ(conducted.entries.size() + radiated.entries.size(), files.size());
  for (const StandardEntry& c : conducted.entries) {
    const int r = FindRegulation(radiated.entries, c.regulation);
    EXPECT_EQ(radiated.entries.at(r).regulation, c.regulation) << c.name;
  }
  for (const StandardFile& f : files) {
    const LimitStandard s = Parse(f.bytes);
    EXPECT_TRUE(s.upperPresent) << f.path;
    EXPECT_LT(s.freqStart, s.freqStop) << f.path;
  }
}

}  // namespace
}  // namespace vantrel
