#pragma once
// A recording converted into a text file on disk. The text goes to a temporary file in
// the target's folder that is renamed into place only when every line is written, so a
// failed or cancelled conversion never leaves half a file under the chosen name. Only
// when asked to (`keepPartial`) do the lines before a damaged record stay in the target.
#include <QString>

#include "files/sp3_to_text.h"

namespace vantrel {

Sp3TextResult ConvertRecordingToTextFile(const QString& source, const QString& target,
                                         const Sp3Progress& progress = {},
                                         bool keepPartial = false);

}  // namespace vantrel
