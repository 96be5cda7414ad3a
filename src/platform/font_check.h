#pragma once
// The graph's text is laid out for Arial. When the system lists no font of that name,
// the program registers the arial.ttf kept beside it (a missing file is not reported;
// the system's substitute is used then).
#include <QString>
#include <QStringList>

namespace vantrel {

// True when one of the family names is "arial" in any letter case.
bool HasArialFamily(const QStringList& families);

// Runs the check on the installed fonts; true when the fallback file was offered for
// registration (whatever the registration's result).
bool EnsureArialFont(const QString& programFolder);

}  // namespace vantrel
