// The stand-in NI-488.2 library loaded the way the program loads the real one.
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <gtest/gtest.h>

#include <string>

#include "sim/analyzer_model.h"

namespace vantrel::sim {
namespace {

#ifdef _WIN32
using Library = HMODULE;
Library Open(const char* path) { return LoadLibraryA(path); }
void* Find(Library lib, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(lib, name));
}
void Close(Library lib) { FreeLibrary(lib); }
std::string LastError() { return "error " + std::to_string(GetLastError()); }
#else
using Library = void*;
Library Open(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
void* Find(Library lib, const char* name) { return dlsym(lib, name); }
void Close(Library lib) { dlclose(lib); }
std::string LastError() { return dlerror(); }
#endif

template <typename T>
T Symbol(Library lib, const char* name) {
  void* p = Find(lib, name);
  EXPECT_NE(p, nullptr) << name;
  return reinterpret_cast<T>(p);
}

TEST(GpibStubLibrary, ServiceRequestExchangeThroughTheLoadedLibrary) {
  const Library lib = Open(VANTREL_GPIB_SIM_LIB);
  ASSERT_NE(lib, nullptr) << VANTREL_GPIB_SIM_LIB << ": " << LastError();
  auto ibfind = Symbol<int (*)(const char*)>(lib, "ibfind");
  auto ibdev = Symbol<int (*)(int, int, int, int, int, int)>(lib, "ibdev");
  auto ibclr = Symbol<int (*)(int)>(lib, "ibclr");
  auto ibwrt = Symbol<int (*)(int, const void*, long)>(lib, "ibwrt");
  auto ibrd = Symbol<int (*)(int, void*, long)>(lib, "ibrd");
  auto ibwait = Symbol<int (*)(int, int)>(lib, "ibwait");
  auto ibrsp = Symbol<int (*)(int, char*)>(lib, "ibrsp");
  auto ibloc = Symbol<int (*)(int)>(lib, "ibloc");
  auto threadIbsta = Symbol<int (*)()>(lib, "ThreadIbsta");
  auto control = Symbol<int (*)(const char*)>(lib, "vantrel_sim_gpib_control");
  int* ibsta = Symbol<int*>(lib, "ibsta");
  long* ibcntl = Symbol<long*>(lib, "ibcntl");
  ASSERT_TRUE(ibfind && ibdev && ibclr && ibwrt && ibrd && ibwait && ibrsp && ibloc &&
              threadIbsta && control && ibsta && ibcntl);
  // The model inside stays private to the library.
  EXPECT_EQ(Find(lib, "_ZN7vantrel12NumericValueESt17basic_string_viewIcSt11char_traitsIcEE"),
            nullptr);

  EXPECT_GE(ibfind("GPIB0"), 0);
  const int ud = ibdev(0, 4, 0, 12, 1, 0);
  ASSERT_GE(ud, 0);
  EXPECT_EQ(ibclr(ud) & 0x8000, 0);
  ibwrt(ud, "*cls;", 5);
  ibwrt(ud, "*sre 16;", 8);

  auto query = [&](const std::string& q) {
    ibwrt(ud, q.data(), static_cast<long>(q.size()));
    if (!(ibwait(ud, 0x4800) & 0x0800)) return std::string("<no request>");
    char stb = 0;
    ibrsp(ud, &stb);
    if (static_cast<unsigned char>(stb) != 0x50) return std::string("<status>");
    char buffer[4096] = {};
    ibrd(ud, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(*ibcntl));
  };
  EXPECT_EQ(query("*IDN?"), std::string(kIdentification) + "\n");
  EXPECT_NE(*ibsta & 0x2000, 0);  // END
  EXPECT_EQ(threadIbsta(), *ibsta);

  EXPECT_EQ(control("rbw-index=9"), 0);
  EXPECT_EQ(query("CON:RBW?"), "9\n");
  EXPECT_EQ(control("reset"), 0);  // power-on state: service requests off again
  ibwrt(ud, "*sre 16;", 8);
  EXPECT_EQ(query("CON:RBW?"), "8\n");
  EXPECT_EQ(control("no-such-fault"), -1);

  EXPECT_EQ(control("only-address=9"), 0);
  EXPECT_NE(ibwrt(ud, "*IDN?", 5) & 0x8000, 0);  // nobody at address 4 now
  EXPECT_EQ(control("reset"), 0);
  EXPECT_EQ(ibloc(ud) & 0x8000, 0);
  Close(lib);
}

}  // namespace
}  // namespace vantrel::sim
