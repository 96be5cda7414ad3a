#include "platform/loaded_gpib_library.h"

#include <QDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <QFileInfo>

#include "link/link_error.h"
#include "platform/program_folder.h"

#ifdef _WIN32
#define VANTREL_GPIB_CALL __stdcall
#else
#define VANTREL_GPIB_CALL
#endif

namespace vantrel {

// Declared as the 64-bit NI-488.2 header declares them: status words come back as
// unsigned long and byte counts go out as size_t. Libraries declaring int and long
// (linux-gpib, the old 32-bit DLL) are called correctly through these too: a count
// travels in a full register either way, and only the low 32 bits of a returned
// status are read, as an int-returning callee leaves the upper half undefined.
struct LoadedGpibLibrary::Api {
  using FindFn = int(VANTREL_GPIB_CALL*)(const char*);
  using DevFn = int(VANTREL_GPIB_CALL*)(int, int, int, int, int, int);
  using UdFn = unsigned long(VANTREL_GPIB_CALL*)(int);
  using WrtFn = unsigned long(VANTREL_GPIB_CALL*)(int, const void*, std::size_t);
  using RdFn = unsigned long(VANTREL_GPIB_CALL*)(int, void*, std::size_t);
  using WaitFn = unsigned long(VANTREL_GPIB_CALL*)(int, int);
  using RspFn = unsigned long(VANTREL_GPIB_CALL*)(int, char*);
  using AccessorFn = unsigned long(VANTREL_GPIB_CALL*)();

  // Entry points are looked up when first called, so a library lacking one that a
  // session never needs (ibloc, say) still serves every other call.
  std::map<std::string, QFunctionPointer> entries;
  // The status word and count: a per-thread call, a process-wide call, or a global.
  AccessorFn statusCall = nullptr;
  int* statusGlobal = nullptr;
  AccessorFn countCall = nullptr;
  long* countGlobal = nullptr;
};

namespace {

int StatusWord(unsigned long returned) {
  return static_cast<int>(static_cast<std::uint32_t>(returned & 0xFFFFFFFFu));
}

}  // namespace

LoadedGpibLibrary::LoadedGpibLibrary() : LoadedGpibLibrary(DefaultCandidates()) {}

LoadedGpibLibrary::LoadedGpibLibrary(QStringList candidates) : candidates_(std::move(candidates)) {}

LoadedGpibLibrary::~LoadedGpibLibrary() {
  // The library stays mapped: a driver may keep threads or handlers of its own.
  api_.reset();
}

QStringList LoadedGpibLibrary::DefaultCandidates() {
  const QDir programDir(ProgramFolder());
#ifdef _WIN32
  return {programDir.filePath("gpib-32.dll"), programDir.filePath("ni4882.dll"),
          QStringLiteral("gpib-32.dll"), QStringLiteral("ni4882.dll")};
#else
  return {programDir.filePath("libgpib.so.0"), QStringLiteral("libgpib.so.0")};
#endif
}

void LoadedGpibLibrary::Load() {
  if (api_) return;
  loadErrors_.clear();
  for (const QString& candidate : candidates_) {
    // A path names one file; a bare name is left to the system's search.
    if (candidate.contains('/') || candidate.contains('\\')) {
      if (!QFileInfo::exists(candidate)) continue;
    }
    auto library = std::make_unique<QLibrary>(candidate);
    if (library->load()) {
      library_ = std::move(library);
      break;
    }
    loadErrors_ += "\n" + library->errorString();
  }
  if (!library_) {
    throw LinkError("The GPIB library (NI-488.2) cannot be loaded. Looked for: " +
                    candidates_.join(", ").toStdString() + loadErrors_.toStdString());
  }
  auto api = std::make_unique<Api>();
  const auto call = [this](const char* name) {
    return reinterpret_cast<Api::AccessorFn>(library_->resolve(name));
  };
  // linux-gpib and the NI-488.2 DLLs name their status and count accessors differently.
  for (const char* name : {"ThreadIbsta", "Ibsta"}) {
    if (api->statusCall == nullptr) api->statusCall = call(name);
  }
  for (const char* name : {"ibsta", "user_ibsta"}) {
    if (api->statusGlobal == nullptr) {
      api->statusGlobal = reinterpret_cast<int*>(library_->resolve(name));
    }
  }
  for (const char* name : {"ThreadIbcntl", "ThreadIbcnt", "Ibcnt"}) {
    if (api->countCall == nullptr) api->countCall = call(name);
  }
  for (const char* name : {"ibcntl", "user_ibcnt"}) {
    if (api->countGlobal == nullptr) {
      api->countGlobal = reinterpret_cast<long*>(library_->resolve(name));
    }
  }
  if (api->statusCall == nullptr && api->statusGlobal == nullptr) {
    const std::string file = library_->fileName().toStdString();
    library_.reset();
    throw LinkError("The GPIB library " + file +
                    " exports none of ThreadIbsta, Ibsta and ibsta.");
  }
  api_ = std::move(api);
}

QFunctionPointer LoadedGpibLibrary::Resolve(const char* symbol) {
  Api& api = Entry();
  const auto known = api.entries.find(symbol);
  if (known != api.entries.end()) return known->second;
  QFunctionPointer fn = library_->resolve(symbol);
  if (fn == nullptr) {
    throw LinkError("The GPIB library " + library_->fileName().toStdString() +
                    " has no entry point " + symbol + ".");
  }
  api.entries.emplace(symbol, fn);
  return fn;
}

QString LoadedGpibLibrary::LoadedFile() const {
  return api_ && library_ ? library_->fileName() : QString();
}

LoadedGpibLibrary::Api& LoadedGpibLibrary::Entry() {
  Load();
  return *api_;
}

template <typename Fn>
Fn LoadedGpibLibrary::Function(const char* symbol) {
  return reinterpret_cast<Fn>(Resolve(symbol));
}

int LoadedGpibLibrary::ibfind(const std::string& name) {
  return Function<Api::FindFn>("ibfind")(name.c_str());
}
int LoadedGpibLibrary::ibdev(int board, int pad, int sad, int tmo, int eot, int eos) {
  return Function<Api::DevFn>("ibdev")(board, pad, sad, tmo, eot, eos);
}
int LoadedGpibLibrary::ibclr(int ud) {
  return StatusWord(Function<Api::UdFn>("ibclr")(ud));
}
int LoadedGpibLibrary::ibwrt(int ud, const void* data, long count) {
  return StatusWord(
      Function<Api::WrtFn>("ibwrt")(ud, data, static_cast<std::size_t>(std::max(0L, count))));
}
int LoadedGpibLibrary::ibrd(int ud, void* buffer, long count) {
  return StatusWord(
      Function<Api::RdFn>("ibrd")(ud, buffer, static_cast<std::size_t>(std::max(0L, count))));
}
int LoadedGpibLibrary::ibwait(int ud, int mask) {
  return StatusWord(Function<Api::WaitFn>("ibwait")(ud, mask));
}
int LoadedGpibLibrary::ibrsp(int ud, char* statusByte) {
  return StatusWord(Function<Api::RspFn>("ibrsp")(ud, statusByte));
}
int LoadedGpibLibrary::ibloc(int ud) {
  return StatusWord(Function<Api::UdFn>("ibloc")(ud));
}

int LoadedGpibLibrary::ibsta() {
  Api& api = Entry();
  return api.statusCall != nullptr ? StatusWord(api.statusCall()) : *api.statusGlobal;
}

long LoadedGpibLibrary::ibcntl() {
  Api& api = Entry();
  // A count fits 32 bits; an int-returning accessor leaves the upper half undefined.
  if (api.countCall != nullptr) return static_cast<std::int32_t>(api.countCall() & 0xFFFFFFFFu);
  return api.countGlobal != nullptr ? *api.countGlobal : 0;
}

}  // namespace vantrel
