#include "platform/loaded_gpib_library.h"

#include <QDir>
#include <QFileInfo>

#include "link/link_error.h"
#include "platform/program_folder.h"

#ifdef _WIN32
#define VANTREL_GPIB_CALL __stdcall
#else
#define VANTREL_GPIB_CALL
#endif

namespace vantrel {

struct LoadedGpibLibrary::Api {
  using FindFn = int(VANTREL_GPIB_CALL*)(const char*);
  using DevFn = int(VANTREL_GPIB_CALL*)(int, int, int, int, int, int);
  using UdFn = int(VANTREL_GPIB_CALL*)(int);
  using WrtFn = int(VANTREL_GPIB_CALL*)(int, const void*, long);
  using RdFn = int(VANTREL_GPIB_CALL*)(int, void*, long);
  using WaitFn = int(VANTREL_GPIB_CALL*)(int, int);
  using RspFn = int(VANTREL_GPIB_CALL*)(int, char*);
  using ThreadIntFn = int(VANTREL_GPIB_CALL*)();
  using ThreadLongFn = long(VANTREL_GPIB_CALL*)();

  FindFn find = nullptr;
  DevFn dev = nullptr;
  UdFn clr = nullptr;
  WrtFn wrt = nullptr;
  RdFn rd = nullptr;
  WaitFn wait = nullptr;
  RspFn rsp = nullptr;
  UdFn loc = nullptr;
  // The status word: the per-thread call when the library exports it, else the global.
  ThreadIntFn threadIbsta = nullptr;
  int* ibstaGlobal = nullptr;
  ThreadLongFn threadIbcntl = nullptr;
  long* ibcntlGlobal = nullptr;
};

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
  api->find = reinterpret_cast<Api::FindFn>(Resolve("ibfind"));
  api->dev = reinterpret_cast<Api::DevFn>(Resolve("ibdev"));
  api->clr = reinterpret_cast<Api::UdFn>(Resolve("ibclr"));
  api->wrt = reinterpret_cast<Api::WrtFn>(Resolve("ibwrt"));
  api->rd = reinterpret_cast<Api::RdFn>(Resolve("ibrd"));
  api->wait = reinterpret_cast<Api::WaitFn>(Resolve("ibwait"));
  api->rsp = reinterpret_cast<Api::RspFn>(Resolve("ibrsp"));
  api->loc = reinterpret_cast<Api::UdFn>(Resolve("ibloc"));
  api->threadIbsta = reinterpret_cast<Api::ThreadIntFn>(library_->resolve("ThreadIbsta"));
  api->ibstaGlobal = reinterpret_cast<int*>(library_->resolve("ibsta"));
  api->threadIbcntl = reinterpret_cast<Api::ThreadLongFn>(library_->resolve("ThreadIbcntl"));
  api->ibcntlGlobal = reinterpret_cast<long*>(library_->resolve("ibcntl"));
  if (api->threadIbsta == nullptr && api->ibstaGlobal == nullptr) {
    throw LinkError("The GPIB library " + library_->fileName().toStdString() +
                    " exports neither ThreadIbsta nor ibsta.");
  }
  api_ = std::move(api);
}

QFunctionPointer LoadedGpibLibrary::Resolve(const char* symbol) {
  QFunctionPointer fn = library_->resolve(symbol);
  if (fn == nullptr) {
    const std::string file = library_->fileName().toStdString();
    library_.reset();
    throw LinkError("The GPIB library " + file + " has no entry point " + symbol + ".");
  }
  return fn;
}

QString LoadedGpibLibrary::LoadedFile() const {
  return api_ && library_ ? library_->fileName() : QString();
}

LoadedGpibLibrary::Api& LoadedGpibLibrary::Entry() {
  Load();
  return *api_;
}

int LoadedGpibLibrary::ibfind(const std::string& name) {
  return Entry().find(name.c_str());
}
int LoadedGpibLibrary::ibdev(int board, int pad, int sad, int tmo, int eot, int eos) {
  return Entry().dev(board, pad, sad, tmo, eot, eos);
}
int LoadedGpibLibrary::ibclr(int ud) {
  return Entry().clr(ud);
}
int LoadedGpibLibrary::ibwrt(int ud, const void* data, long count) {
  return Entry().wrt(ud, data, count);
}
int LoadedGpibLibrary::ibrd(int ud, void* buffer, long count) {
  return Entry().rd(ud, buffer, count);
}
int LoadedGpibLibrary::ibwait(int ud, int mask) {
  return Entry().wait(ud, mask);
}
int LoadedGpibLibrary::ibrsp(int ud, char* statusByte) {
  return Entry().rsp(ud, statusByte);
}
int LoadedGpibLibrary::ibloc(int ud) {
  return Entry().loc(ud);
}

int LoadedGpibLibrary::ibsta() {
  Api& api = Entry();
  return api.threadIbsta != nullptr ? api.threadIbsta() : *api.ibstaGlobal;
}

long LoadedGpibLibrary::ibcntl() {
  Api& api = Entry();
  if (api.threadIbcntl != nullptr) return api.threadIbcntl();
  return api.ibcntlGlobal != nullptr ? *api.ibcntlGlobal : 0;
}

}  // namespace vantrel
