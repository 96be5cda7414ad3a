#pragma once
// The analyzer window's choices and the program-wide flags, read from and written to the
// settings files beside the program. The controls are found by their names, so a value
// whose control this window does not have is carried from the file it was read from to
// the file written next, never lost.
#include <QString>
#include <array>
#include <functional>
#include <string>

#include "files/settings_file.h"

class QWidget;

namespace vantrel {

class Notifier;

// True when the path names an existing folder.
bool DirectoryExists(const QString& path);

class WindowSettingsStore {
 public:
  WindowSettingsStore(QWidget& window, Notifier& notifier);

  // Points the folder lists and txtRecFolder at a folder.
  std::function<void(const QString&)> setFolder;
  // The program's folder, the recording folder's default.
  std::function<QString()> programFolder;

  // Reads the file into the controls. A missing file gives the defaults quietly; an
  // unreadable one the defaults and a message; a value that cannot be read only its own
  // default, and a message that names its key and line.
  void Load(const QString& path);
  // Writes every setting; false when the file could not be replaced (the old one stays).
  bool Save(const QString& path);
  // Every control of the file back to its default; nothing is written.
  void ApplyDefaults();

 private:
  QWidget* Control(const SettingKey& key) const;
  void Put(std::size_t index, const std::string& value);
  void PutDefault(std::size_t index);
  std::string Take(std::size_t index) const;

  QWidget& window_;
  Notifier& notifier_;
  std::array<std::string, kWindowSettingCount> carried_;
};

// The global flags file: DontShowEMISteps := the file's value (0 when the file is
// missing); an unreadable file or value is reported and leaves the flag as it was.
void LoadGlobalFlagsFile(const QString& path, Notifier& notifier);
bool SaveGlobalFlagsFile(const QString& path);

}  // namespace vantrel
