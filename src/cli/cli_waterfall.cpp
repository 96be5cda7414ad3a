#include "cli/cli_waterfall.h"

#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <optional>

#include "cli/cli_output.h"
#include "display/graph_mapping.h"
#include "display/sweep_history.h"
#include "files/sp3_file.h"
#include "platform/durable_record_store.h"

namespace vantrel::cli {

int WaterfallCommand(const CliOptions& o) {
  const std::string& source = o.positional[0];
  const std::string& target = o.positional[1];
  const int rows = static_cast<int>(o.Number("rows").value_or(static_cast<double>(kDefaultWaterfallRows)));
  if (rows < 1 || rows > 100000) throw UsageError{"--rows needs 1 to 100000"};
  DurableRecordStore store;
  if (!store.Size(source)) {
    std::fprintf(stderr, "vantrel-cli: the recording %s does not exist\n", source.c_str());
    return kExitFile;
  }
  const std::uint64_t count = CountSp3Records(store, source);
  if (count == 0) {
    std::fprintf(stderr, "vantrel-cli: the recording %s holds no record\n", source.c_str());
    return kExitFile;
  }
  // The history keeps the newest rows; only those are read.
  SweepHistory history(static_cast<std::size_t>(rows));
  const std::uint64_t first = count > static_cast<std::uint64_t>(rows) ? count - rows + 1 : 1;
  std::optional<Sp3Record> last;
  for (std::uint64_t k = first; k <= count; ++k) {
    std::string error;
    auto record = ReadSp3Record(store, source, k, error);
    if (!record) {
      std::fprintf(stderr, "vantrel-cli: %s\n", error.c_str());
      return kExitFile;
    }
    history.Add(record->traces[0].Points(), record->refLevel, kDbPerCount, k,
                {record->freqStart, record->freqStop});
    last = std::move(record);
  }
  std::vector<std::uint32_t> pixels;
  history.Render(last->refLevel, last->scale > 0 ? last->scale : 10, pixels);
  const int height = static_cast<int>(history.Size());
  QImage picture(kTracePoints, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
    for (int x = 0; x < kTracePoints; ++x) line[x] = pixels[static_cast<std::size_t>(y) * kTracePoints + x];
  }
  QSaveFile file(QString::fromLocal8Bit(target.c_str()));
  if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
    std::fprintf(stderr, "vantrel-cli: %s cannot be written: %s\n", target.c_str(),
                 file.errorString().toLocal8Bit().constData());
    return kExitFile;
  }
  std::fputs(FormatFields({Text("waterfall", target), Number("rows", height)}, o.json).c_str(), stdout);
  return kExitOk;
}

}  // namespace vantrel::cli
