#include <gtest/gtest.h>

#include <QFileInfo>

#include "link/link_error.h"
#include "platform/loaded_gpib_library.h"

namespace vantrel {
namespace {

std::string ErrorOf(LoadedGpibLibrary& gpib) {
  try {
    gpib.ibfind("GPIB0");
  } catch (const LinkError& e) {
    return e.what();
  }
  return "";
}

TEST(LoadedGpibLibrary, MissingLibraryOrEntryPointIsAClearError) {
  LoadedGpibLibrary missing({"/nonexistent/folder/libgpib.so.0", "/also/missing/gpib-32.dll"});
  const std::string text = ErrorOf(missing);
  EXPECT_NE(text.find("GPIB library"), std::string::npos) << text;
  EXPECT_NE(text.find("/nonexistent/folder/libgpib.so.0"), std::string::npos) << text;
  // Every call fails the same way, none crashes.
  EXPECT_THROW(missing.ibsta(), LinkError);
  EXPECT_THROW(missing.ibloc(1), LinkError);
  EXPECT_TRUE(missing.LoadedFile().isEmpty());

  // A missing entry point fails only the call that needs it.
  LoadedGpibLibrary noLocal({FAKE_GPIB_NOLOC});
  EXPECT_EQ(noLocal.ibfind("GPIB0"), 7);
  EXPECT_EQ(noLocal.ibdev(0, 2, 0, 12, 1, 0), 102);
  try {
    noLocal.ibloc(102);
    ADD_FAILURE() << "ibloc without an entry point";
  } catch (const LinkError& e) {
    EXPECT_NE(std::string(e.what()).find("ibloc"), std::string::npos) << e.what();
  }
  EXPECT_EQ(noLocal.ibclr(102), 0x0100);
}

TEST(LoadedGpibLibrary, SixtyFourBitDeclarationsAndAccessorCalls) {
  LoadedGpibLibrary gpib({FAKE_GPIB_NI4882});
  EXPECT_EQ(gpib.ibfind("GPIB0"), 7);
  const char command[] = "*idn?";
  EXPECT_EQ(gpib.ibwrt(1, command, 5), 0x0100);
  EXPECT_EQ(gpib.ibcntl(), 5);
  char buffer[32] = {};
  EXPECT_EQ(gpib.ibrd(1, buffer, sizeof(buffer)), 0x2100);
  EXPECT_EQ(gpib.ibcntl(), 10);
  EXPECT_EQ(gpib.ibsta(), 0x2100);  // Ibsta()'s upper half is not part of the word
}

TEST(LoadedGpibLibrary, CallsReachTheLibraryAndStatusComesFromTheGlobal) {
  // The first candidate is missing: the loader goes on to the next.
  LoadedGpibLibrary gpib({"/nonexistent/libgpib.so.0", FAKE_GPIB_GLOBAL});
  EXPECT_EQ(gpib.ibfind("GPIB0"), 7);
  EXPECT_EQ(QFileInfo(gpib.LoadedFile()).canonicalFilePath(),
            QFileInfo(FAKE_GPIB_GLOBAL).canonicalFilePath());
  EXPECT_EQ(gpib.ibdev(0, 2, 0, 12, 1, 0), 102);
  EXPECT_EQ(gpib.ibclr(-1), 0x8000);
  EXPECT_EQ(gpib.ibsta(), 0x8000);
  const char command[] = "*cls";
  gpib.ibwrt(102, command, 4);
  EXPECT_EQ(gpib.ibcntl(), 4);
  char buffer[32] = {};
  gpib.ibrd(102, buffer, sizeof(buffer));
  EXPECT_STREQ(buffer, "FAKE,GPIB\n");
  EXPECT_EQ(gpib.ibsta(), 0x2100);
  char status = 0;
  gpib.ibrsp(102, &status);
  EXPECT_EQ(status, 0x50);
  EXPECT_EQ(gpib.ibwait(102, 0x4800), 0x0900);
  EXPECT_EQ(gpib.ibloc(102), 0x0100);
}

TEST(LoadedGpibLibrary, ThreadStatusCallIsPreferred) {
  LoadedGpibLibrary gpib({FAKE_GPIB_THREAD});
  gpib.ibfind("GPIB0");
  EXPECT_EQ(gpib.ibsta(), 0x2100);  // ThreadIbsta's value, not the global 0x0100
  const char command[] = "*sre 16";
  gpib.ibwrt(1, command, 7);
  EXPECT_EQ(gpib.ibcntl(), 1007);
}

TEST(LoadedGpibLibrary, LoadsTheSimulatedAnalyzersLibrary) {
  if (!QFileInfo::exists(GPIB_SIM_LIBRARY)) {
    GTEST_SKIP() << "the simulated analyzer's GPIB library is not built: " << GPIB_SIM_LIBRARY;
  }
  LoadedGpibLibrary gpib({GPIB_SIM_LIBRARY});
  EXPECT_NO_THROW(gpib.ibfind("GPIB0"));
  const int ud = gpib.ibdev(0, 2, 0, kGpibTimeout3s, 1, 0);
  EXPECT_GE(ud, 0);
  gpib.ibclr(ud);
  EXPECT_EQ(gpib.ibsta() & kGpibErr, 0);
  EXPECT_EQ(gpib.ibloc(ud) & kGpibErr, 0);
}

}  // namespace
}  // namespace vantrel
