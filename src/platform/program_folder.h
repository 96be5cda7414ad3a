#pragma once
// Where the program keeps the files that live beside it (port map, settings, limit
// standards): the program's folder, or, when that folder cannot be written (an installed
// package), the user's application data folder.
#include <QString>

namespace vantrel {

// The folder of the executable.
QString ProgramFolder();

// Full path of a file kept beside the program: beside the executable when the file is
// there or the folder is writable, else in the per-user application data folder.
QString ProgramFilePath(const QString& name);

}  // namespace vantrel
