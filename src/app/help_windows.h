#pragma once
// The Help menu's windows: the user guide, read from the guide shipped with the program,
// and the About box with the program's and Qt's versions and the licence.
#include <QString>

class QWidget;

namespace vantrel {

// Where the guide is: beside the program in a build, or in the installed package's
// documentation folder; empty when neither has it.
QString UserGuidePath();

// A window showing the guide with its pictures; a message names the folders searched when
// the guide is missing.
void ShowUserGuide(QWidget* parent);

void ShowAbout(QWidget* parent, const QString& version);

}  // namespace vantrel
