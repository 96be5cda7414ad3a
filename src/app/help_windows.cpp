#include "app/help_windows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QUrl>

#include "platform/program_folder.h"

namespace vantrel {

namespace {

QStringList GuideCandidates() {
  const QDir program(ProgramFolder());
  return {program.filePath(QStringLiteral("docs/user-guide.md")),
          program.filePath(QStringLiteral("../share/doc/vantrel/user-guide.md"))};
}

}  // namespace

QString UserGuidePath() {
  for (const QString& path : GuideCandidates()) {
    if (QFileInfo(path).isFile()) return QFileInfo(path).canonicalFilePath();
  }
  return {};
}

void ShowUserGuide(QWidget* parent) {
  const QString path = UserGuidePath();
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    QMessageBox::warning(parent, QStringLiteral("User Guide"),
                         QStringLiteral("The user guide was not found in:\n") +
                             GuideCandidates().join(QLatin1Char('\n')));
    return;
  }
  auto* guide = new QTextBrowser(parent);
  guide->setWindowFlag(Qt::Window);
  guide->setAttribute(Qt::WA_DeleteOnClose);
  guide->setObjectName(QStringLiteral("frmUserGuide"));
  guide->setWindowTitle(QStringLiteral("Vantrel User Guide"));
  guide->setOpenExternalLinks(true);
  // Pictures are named relative to the guide.
  guide->setSearchPaths({QFileInfo(path).absolutePath()});
  guide->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + '/'));
  guide->setMarkdown(QString::fromUtf8(file.readAll()));
  guide->resize(900, 700);
  guide->show();
}

void ShowAbout(QWidget* parent, const QString& version) {
  QMessageBox::about(
      parent, QStringLiteral("About Vantrel"),
      QStringLiteral("<b>Vantrel %1</b><br>Remote control and display for a portable swept "
                     "spectrum analyzer.<br><br>Built with Qt %2, running on Qt %3.<br>"
                     "Licence: MIT (see the copyright file shipped with the program).")
          .arg(version, QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion())));
}

}  // namespace vantrel
