#pragma once
// Recordings on disk: record k in the slot at (k - 1) * 3160. Counting needs only the
// file's length (and one look at the last slot), and reading a record reads its slot
// alone, so a file of any size is played without loading it.
#include <cstdint>
#include <optional>
#include <string>

#include "files/record_store.h"
#include "files/sp3_record.h"

namespace vantrel {

// Writes `record` as record number `number` (1-based).
bool WriteSp3Record(RecordStore& store, const std::string& path, std::uint64_t number,
                    const Sp3Record& record, std::string& error);

// Records a player can show: the count by the file's length, less a last record that was
// cut short (a write interrupted by a crash or a power loss). 0 for a missing file.
std::uint64_t CountSp3Records(RecordStore& store, const std::string& path);

// Record `number` (1-based).
std::optional<Sp3Record> ReadSp3Record(RecordStore& store, const std::string& path,
                                       std::uint64_t number, std::string& error);

// A name a player accepts: its last three characters are "sp3" in any case.
bool IsRecordingFileName(const std::string& path);

}  // namespace vantrel
