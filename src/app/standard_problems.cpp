#include "app/standard_problems.h"

#include <QStringList>

namespace vantrel {

void ShowStandardProblems(QLabel* label, const std::vector<FileProblems>& problems) {
  const std::vector<std::string> lines = DescribeProblems(problems);
  if (lines.empty()) {
    label->clear();
    label->setToolTip({});
    label->hide();
    return;
  }
  QStringList all;
  for (const std::string& line : lines) all << QString::fromStdString(line);
  label->setText(QStringLiteral("Problems: ") + all.first() +
                 (all.size() > 1 ? QStringLiteral(" (and %1 more)").arg(all.size() - 1) : QString()));
  label->setToolTip(all.join(QLatin1Char('\n')));
  label->show();
}

}  // namespace vantrel
