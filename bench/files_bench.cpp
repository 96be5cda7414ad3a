// Recording files: what appending a record costs the program itself, what putting it on
// the disk costs on top, and that counting and seeking a long recording does not depend
// on its length.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/sp3_file.h"
#include "files/sp3_to_text.h"
#include "platform/durable_record_store.h"

namespace vantrel {
namespace {

// Takes the bytes and keeps nothing: the record's own work without any file system.
class DiscardingStore : public RecordStore {
 public:
  std::optional<std::uint64_t> Size(const std::string&) override { return std::nullopt; }
  std::optional<std::vector<std::uint8_t>> ReadAt(const std::string&, std::uint64_t,
                                                  std::size_t, std::string&) override {
    return std::nullopt;
  }
  bool WriteAt(const std::string&, std::uint64_t, const std::vector<std::uint8_t>& bytes,
               std::string&) override {
    benchmark::DoNotOptimize(bytes.data());
    return true;
  }
  bool Replace(const std::string&, const std::string&, std::string&) override { return true; }
  bool Append(const std::string&, const std::string&, std::string&) override { return true; }
};

Sp3Record SampleRecord() {
  AnalyzerSettings s;
  s.RefUnit = "dBm";
  s.Scale = 10;
  s.FreqStop = 3000;
  s.Span = "3000MHz";
  s.RBW = "120KHz";
  s.VBW = "1MHz";
  s.SweepTime = "100 ms";
  std::array<RawTrace, 3> traces{};
  for (RawTrace& t : traces) {
    for (int n = 0; n < kTracePoints; ++n) t.Points()[n] = static_cast<std::int16_t>(n);
  }
  return MakeSp3Record(traces, s, 46000.5);
}

void BM_AppendRecordOwnWork(benchmark::State& state) {
  DiscardingStore store;
  const Sp3Record record = SampleRecord();
  std::uint64_t k = 1;
  std::string error;
  for (auto _ : state) WriteSp3Record(store, "r.sp3", k++, record, error);
}
BENCHMARK(BM_AppendRecordOwnWork);

// Open, write, put on the disk, close: the disk flush dominates and depends on the disk.
void BM_AppendRecordWithDiskFlush(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("r.sp3")).toStdString();
  DurableRecordStore store;
  const Sp3Record record = SampleRecord();
  std::uint64_t k = 1;
  std::string error;
  for (auto _ : state) WriteSp3Record(store, path, k++, record, error);
}
BENCHMARK(BM_AppendRecordWithDiskFlush)->Unit(benchmark::kMillisecond);

// Counting and reading the last record of files of 1 000 to 100 000 records (sparse files).
void BM_CountAndReadLastRecord(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("long.sp3")).toStdString();
  const auto records = static_cast<std::uint64_t>(state.range(0));
  {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly);
    file.resize(static_cast<qint64>((records - 1) * kSp3SlotBytes));
  }
  DurableRecordStore store;
  std::string error;
  WriteSp3Record(store, path, records, SampleRecord(), error);
  for (auto _ : state) {
    const std::uint64_t count = CountSp3Records(store, path);
    benchmark::DoNotOptimize(ReadSp3Record(store, path, count, error));
  }
}
BENCHMARK(BM_CountAndReadLastRecord)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Text written per second by the recording converter, in memory: the writer only counts.
void BM_ConvertRecordingToText(benchmark::State& state) {
  class OneRecordStore : public DiscardingStore {
   public:
    explicit OneRecordStore(std::uint64_t records) : records_(records) {}
    std::optional<std::uint64_t> Size(const std::string&) override {
      return records_ * kSp3SlotBytes;
    }
    std::optional<std::vector<std::uint8_t>> ReadAt(const std::string&, std::uint64_t,
                                                    std::size_t, std::string&) override {
      return bytes_;
    }

   private:
    std::uint64_t records_;
    std::vector<std::uint8_t> bytes_ = EncodeSp3Record(SampleRecord());
  };
  OneRecordStore store(static_cast<std::uint64_t>(state.range(0)));
  std::uint64_t written = 0;
  const TextWriter count = [&written](const std::string& text, std::string&) {
    written += text.size();
    return true;
  };
  for (auto _ : state) ConvertSp3ToText(store, "r.sp3", count);
  state.SetBytesProcessed(static_cast<std::int64_t>(written));
}
BENCHMARK(BM_ConvertRecordingToText)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  return 0;
}
