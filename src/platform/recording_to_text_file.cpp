#include "platform/recording_to_text_file.h"

#include <QFileInfo>
#include <QSaveFile>
#include <string>

#include "platform/durable_record_store.h"

namespace vantrel {

namespace {

// The same file, whatever the spelling of its path.
bool SameFile(const QString& a, const QString& b) {
  const QFileInfo first(a);
  const QFileInfo second(b);
  if (first.exists() && second.exists()) return first.canonicalFilePath() == second.canonicalFilePath();
  return first.absoluteFilePath() == second.absoluteFilePath();
}

Sp3TextResult Failed(std::string message) {
  Sp3TextResult result;
  result.message = std::move(message);
  return result;
}

}  // namespace

Sp3TextResult ConvertRecordingToTextFile(const QString& source, const QString& target,
                                         const Sp3Progress& progress, bool keepPartial) {
  const std::string sourceName = source.toStdString();
  const std::string targetName = target.toStdString();
  if (QFileInfo(source).isDir()) return Failed(sourceName + " is a folder, not a recording.");
  if (SameFile(source, target)) {
    return Failed("The text file would replace the recording " + sourceName +
                  "; choose another name.");
  }
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    return Failed(targetName + " cannot be written: " + file.errorString().toStdString());
  }
  DurableRecordStore store;
  const TextWriter write = [&file](const std::string& text, std::string& error) {
    if (file.write(text.data(), static_cast<qint64>(text.size())) ==
        static_cast<qint64>(text.size())) {
      return true;
    }
    error = file.errorString().toStdString();
    return false;
  };
  Sp3TextResult result = ConvertSp3ToText(store, sourceName, write, progress);
  if (result.ok && !file.commit()) {
    result.ok = false;
    result.message = targetName + " could not be completed: " + file.errorString().toStdString();
  }
  if (!result.ok && keepPartial && result.damagedRecord > 0 && file.commit()) {
    result.message += " The " + std::to_string(result.records) +
                      " records before it were kept in " + targetName + ".";
    return result;
  }
  if (!result.ok) {
    file.cancelWriting();
    result.message += " Nothing was written to " + targetName + ".";
  }
  return result;
}

}  // namespace vantrel
