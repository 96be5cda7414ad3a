#pragma once
// Reading and replacing the small text files the program keeps beside itself (settings,
// flags). A replacement is all or nothing: the old file stays whole until the new one has
// reached the disk, so a crash, a full disk or a kill never leaves half a file.
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QIODevice;

namespace vantrel {

struct SmallFileRead {
  bool missing = false;               // no such file: not an error
  std::optional<std::string> bytes;   // the content, when it could be read
  QString error;                      // why it could not, otherwise
};

// Reads the whole file; a file larger than `limit` bytes, a folder or an unreadable file
// gives an error instead.
SmallFileRead ReadSmallFile(const QString& path, qint64 limit = 1 << 20);

// Writes one piece of the new content; returns the bytes written or -1. Tests replace it
// to fail a write halfway.
using ChunkWriter = std::function<qint64(QIODevice&, const char*, qint64)>;

// Replaces the file's content through a temporary file in the same folder that is
// renamed over it. False, with the reason in `error`, when anything failed; the old file
// is then untouched and no temporary file is left.
bool ReplaceSmallFile(const QString& path, const std::string& bytes, QString* error = nullptr,
                      const ChunkWriter& writer = {});

// The file in `folder` whose name equals `name` without regard to case (the file names
// an older version wrote on a case-insensitive file system); `folder/name` when none.
QString FindFileIgnoringCase(const QString& folder, const QString& name);

}  // namespace vantrel
