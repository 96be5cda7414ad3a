#pragma once
// The NI-488.2 C API loaded at run time, so the program starts and runs over serial
// and USB on machines without a GPIB driver. The library is looked for in the
// program's folder first, then in the system.
#include <QLibrary>
#include <QStringList>
#include <memory>

#include "link/gpib_library.h"

namespace vantrel {

class LoadedGpibLibrary : public GpibLibrary {
 public:
  // The usual candidates: the program's folder, then the system's library names.
  LoadedGpibLibrary();
  // Exactly these candidates, in order (file paths or library names).
  explicit LoadedGpibLibrary(QStringList candidates);
  ~LoadedGpibLibrary() override;

  static QStringList DefaultCandidates();

  int ibfind(const std::string& name) override;
  int ibdev(int board, int pad, int sad, int tmo, int eot, int eos) override;
  int ibclr(int ud) override;
  int ibwrt(int ud, const void* data, long count) override;
  int ibrd(int ud, void* buffer, long count) override;
  int ibwait(int ud, int mask) override;
  int ibrsp(int ud, char* statusByte) override;
  int ibloc(int ud) override;
  int ibsta() override;
  long ibcntl() override;

  // Loads the library now; throws LinkError naming what is missing.
  void Load();
  // The file actually loaded ("" before a successful load).
  QString LoadedFile() const;

 private:
  struct Api;
  QFunctionPointer Resolve(const char* symbol);
  template <typename Fn>
  Fn Function(const char* symbol);
  Api& Entry();

  QStringList candidates_;
  std::unique_ptr<QLibrary> library_;
  std::unique_ptr<Api> api_;
  QString loadErrors_;
};

}  // namespace vantrel
