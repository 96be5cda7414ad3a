// The analyzer window's "Save to PC" and "Print": the graph in print colours as a JPEG,
// BMP or PNG picture, the spectrum as a text table, or the graph on a printer page.
#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>

#include "app/analyzer_window.h"
#include "app/graph_picture.h"
#include "app/emi_marker_panel.h"
#include "app/emi_panel.h"
#include "app/marker_panel.h"
#include "app/picture_output.h"
#include "app/setting_panel.h"
#include "display/graph_frame.h"
#include "files/text_tables.h"
#include "platform/small_file.h"

namespace vantrel {

namespace {

constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr Rgb kBlack = MakeRgb(0, 0, 0);

Rgb ToRgb(const QColor& c) { return MakeRgb(c.red(), c.green(), c.blue()); }

}  // namespace

void AnalyzerWindow::WireOutput() {
  chooseSaveFile = [this](const QString& filter) {
    return QFileDialog::getSaveFileName(this, QString(), QString(), filter);
  };
  choosePrinter = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
  };
}

QImage AnalyzerWindow::PictureInColours(Rgb back, Rgb grid) {
  const Rgb screenBack = state_.backColor;
  const Rgb screenGrid = state_.gridColor;
  state_.backColor = back;
  state_.gridColor = grid;
  marker_->MakeMarker(back);
  fraEMCMarker_->MakeMarker(back);
  DrawGrid();
  // The picture box with its marker handles, at the screen's full resolution.
  const QImage picture = pic1_->grab().toImage();
  state_.backColor = screenBack;
  state_.gridColor = screenGrid;
  marker_->MakeMarker(screenBack);
  fraEMCMarker_->MakeMarker(screenBack);
  DrawGrid();
  return picture;
}

void AnalyzerWindow::SaveToPc() {
  int option = 0;
  for (int i = 0; i < 4; ++i) {
    if (setting_->optSave[i]->isChecked()) option = i;
  }
  if (option == 2) {
    const QString name = chooseSaveFile(QStringLiteral("Text File (*.txt)")).trimmed();
    if (name.isEmpty()) return;
    QString error;
    if (!EmiMode()) {
      if (!ReplaceSmallFile(name, SaTextTable(state_), &error)) {
        links_.notifier.ShowMessage("The text file '" + name.toStdString() +
                                        "' could not be written: " + error.toStdString(),
                                    MessageIcon::Warning);
      }
      return;
    }
    // The wave text file: the EMI marker points and the settings of the measurement.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const EmiResults& results = emi_->Results();
    UpdateShownEmi();  // the marker points of the graph in force, drawn or not
    const LimitStandard& standard = emi_->Standard();
    const AnalyzerSettings measured = MeasuredSettings(results.header, standard.scale);
    const bool written = ReplaceSmallFile(
        name,
        EmiTextTable(emiGraph_.markerPoints, measured, standard.freqStart, standard.freqStop),
        &error);
    QApplication::restoreOverrideCursor();
    if (!written) ShowErrorBox(links_.notifier, 75, error.toStdString());
    return;
  }
  struct Format {
    const char* filter;
    const char* writer;
  };
  static constexpr Format kFormats[] = {{"Jpg File (*.jpg)", "jpeg"},
                                        {"BMP File (*.bmp)", "bmp"},
                                        {"", ""},
                                        {"PNG File (*.png)", "png"}};
  const QString name = chooseSaveFile(QString::fromLatin1(kFormats[option].filter)).trimmed();
  if (name.isEmpty()) return;
  if (!WritePicture(PictureInColours(kWhite, kBlack), name, kFormats[option].writer)) {
    links_.notifier.ShowMessage(
        "Failed to save the picture to the file: '" + name.toStdString() + "'",
        MessageIcon::Warning);
  }
}

void AnalyzerWindow::PrintView() {
  transport_.stopRequested = true;  // no transfer while the page is composed
  toolbar_.SetWorking();
  SyncToolbar();
  QPrinter printer(QPrinter::HighResolution);
  if (choosePrinter(printer)) {
    // Handles drawn on the page's own background, so theirs does not show.
    const QImage picture = PictureInColours(ToRgb(palette().color(QPalette::Window)), kBlack);
    bool emiMarkers = false;
    for (int i = 0; i < 5; ++i) emiMarkers = emiMarkers || emiGraph_.markers[i].ticked;
    const double height =
        EmiMode() ? -emiGraph_.scaleHeight : -GraphScale(state_.AnyMarkerEnabled()).height;
    PrintGraphPage(printer, picture, height, EmiMode() && emiMarkers ? 4260 : 3000);
  }
  transport_.stopRequested = false;
  if (Down("btnOpenCOM")) toolbar_.SetConnected();
  SyncToolbar();
}

}  // namespace vantrel
