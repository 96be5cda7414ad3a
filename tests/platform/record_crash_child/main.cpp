// Records to the file named on the command line until it is killed: record k carries k
// in its first point, and "k" goes to standard output once the record is on the disk.
#include <cstdio>
#include <string>

#include "files/sp3_file.h"
#include "platform/durable_record_store.h"

int main(int argc, char** argv) {
  if (argc != 2) return 1;
  vantrel::DurableRecordStore store;
  vantrel::Sp3Record record;
  record.sweepTime = "100 ms";
  for (std::uint64_t k = 1;; ++k) {
    record.traces[0].Points()[0] = static_cast<std::int16_t>(k);
    record.oleDate = static_cast<double>(k);
    std::string error;
    if (!vantrel::WriteSp3Record(store, argv[1], k, record, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 2;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(k));
    std::fflush(stdout);
  }
}
