// frmMain's "Save" (a text table, or the graph as a BMP, JPEG or PNG picture in print
// colours) and "Print", with the 3 GHz window's table and picture writers.
#include <QComboBox>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "app/graph_picture.h"
#include "app/picture_output.h"
#include "app/sa27_window.h"
#include "display/graph_frame.h"
#include "files/text_tables.h"
#include "platform/small_file.h"

namespace vantrel {
namespace {

struct SaveFormat {
  const char* label;
  const char* filter;
  const char* writer;  // "" for the text table
};
constexpr SaveFormat kSaveFormats[] = {{"Text", "Text File (*.txt)", ""},
                                       {"BMP", "BMP File (*.bmp)", "bmp"},
                                       {"JPG", "Jpg File (*.jpg)", "jpeg"},
                                       {"PNG", "PNG File (*.png)", "png"}};
constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr Rgb kBlack = MakeRgb(0, 0, 0);

}  // namespace

void Sa27Window::WireOutput() {
  for (const auto& f : kSaveFormats) cboSaveType_->addItem(QString::fromLatin1(f.label));
  chooseSaveFile = [this](const QString& filter) {
    return QFileDialog::getSaveFileName(this, QString(), QString(), filter);
  };
  choosePrinter = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  };
}

QImage Sa27Window::PrintPicture() {
  const Rgb back = state_.backColor;
  const Rgb grid = state_.gridColor;
  state_.backColor = kWhite;
  state_.gridColor = kBlack;
  const QImage picture = pic1_->grab().toImage();
  state_.backColor = back;
  state_.gridColor = grid;
  pic1_->update();
  return picture;
}

void Sa27Window::Save() {
  const SaveFormat& format = kSaveFormats[std::max(0, cboSaveType_->currentIndex())];
  const QString name = chooseSaveFile(QString::fromLatin1(format.filter)).trimmed();
  if (name.isEmpty()) return;
  if (*format.writer == 0) {
    QString error;
    if (!ReplaceSmallFile(name, SaTextTable(state_), &error)) {
      links_.notifier.ShowMessage(
          "The text file '" + name.toStdString() + "' could not be written: " + error.toStdString(),
          MessageIcon::Warning);
    }
    return;
  }
  if (!WritePicture(PrintPicture(), name, format.writer)) {
    links_.notifier.ShowMessage(
        "Failed to save the picture to the file: '" + name.toStdString() + "'",
        MessageIcon::Warning);
  }
}

void Sa27Window::Print() {
  QPrinter printer(QPrinter::HighResolution);
  if (!choosePrinter(printer)) return;
  PrintGraphPage(printer, PrintPicture(), -GraphScale(state_.AnyMarkerEnabled()).height);
}

}  // namespace vantrel
