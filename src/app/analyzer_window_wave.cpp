// The EMI panel's "Open File and Draw": a wave text file read line by line into the
// stored EMI trace and drawn once over the EMI graph in the colour of lblColor.
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/analyzer_window.h"
#include "app/emi_panel.h"
#include "app/graph_picture.h"
#include "app/setting_panel.h"
#include "display/graph_mapping.h"
#include "emi/stored_emi_trace.h"
#include "files/wave_text.h"

namespace vantrel {

namespace {

constexpr long kFileNotFound = 53;
constexpr long kBadLine = 9;
constexpr qint64 kLongestLine = 1 << 16;  // a longer "line" is no wave text; it is cut

}  // namespace

void AnalyzerWindow::WireWaveText() {
  chooseWaveFile = [this] {
    return QFileDialog::getOpenFileName(this, QString(), QString(),
                                        QStringLiteral("Wave Text File(*.txt)"));
  };
  chooseWaveColor = [this](Rgb current) -> std::optional<Rgb> {
    const QColor chosen =
        QColorDialog::getColor(QColor(RedOf(current), GreenOf(current), BlueOf(current)), this);
    if (!chosen.isValid()) return std::nullopt;
    return MakeRgb(chosen.red(), chosen.green(), chosen.blue());
  };
  setting_->waveColorClicked = [this] {
    if (const auto colour = chooseWaveColor(setting_->WaveColor())) setting_->SetWaveColor(*colour);
  };
  connect(setting_->cmdOpenStorage, &QPushButton::clicked, this, [this] { OpenWaveTextFile(); });
}

void AnalyzerWindow::OpenWaveTextFile() {
  const QString chosen = chooseWaveFile();
  if (chosen.isEmpty()) return;
  setting_->txtOFileName->setText(chosen);
  QFile file(chosen);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowErrorBox(links_.notifier, kFileNotFound,
                 chosen.toStdString() + " cannot be read: " + file.errorString().toStdString());
    return;
  }
  // Line by line, so a file of any length is read in constant memory.
  WaveTextReader reader(storedEmiTrace_);
  std::string error;
  while (!file.atEnd()) {
    QByteArray line = file.readLine(kLongestLine);
    if (!line.endsWith('\n') && !file.atEnd()) {
      while (!file.atEnd() && !file.readLine(kLongestLine).endsWith('\n')) {
      }
    }
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (!reader.Line(std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
                     error)) {
      ShowErrorBox(links_.notifier, kBadLine, error);
      break;
    }
  }
  // Drawn once: the next repaint of the EMI graph leaves it out.
  storedEmiShown_ = true;
  pic1_->update();
}

void AnalyzerWindow::PaintStoredEmiTrace(Canvas& canvas) {
  if (!storedEmiShown_) return;
  canvas.SetScale({0, kGraphTop, kGraphRight, -kGraphTop});
  // Without a standard there is no dB per division; the graph's own drawing takes 10.
  const double scale = emi_->Standard().scale > 0 ? emi_->Standard().scale : 10;
  DrawStoredEmiTrace(canvas, storedEmiTrace_, emi_->EmiRefLevel, scale, setting_->WaveColor());
}

}  // namespace vantrel
