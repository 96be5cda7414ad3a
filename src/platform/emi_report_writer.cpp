#include "platform/emi_report_writer.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QUrl>

namespace vantrel {

namespace {

bool Save(const QString& path, const QByteArray& bytes, QString& error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  error = path + ": " + file.errorString();
  return false;
}

}  // namespace

bool WriteEmiReport(const QString& pdfPath, EmiReportContent content, const QImage& graph,
                    QString& error) {
  const QFileInfo pdf(pdfPath);
  const QString stem = pdf.absolutePath() + '/' + pdf.completeBaseName();
  content.pictureName = graph.isNull() ? "" : (pdf.completeBaseName() + ".png").toStdString();
  const QString html = QString::fromStdString(EmiReportHtml(content));

  // The PDF: the same HTML laid out on A4, with the picture as the document's resource.
  QTemporaryDir scratch(pdf.absolutePath() + QStringLiteral("/.report-XXXXXX"));
  if (!scratch.isValid()) {
    error = pdf.absolutePath() + ": " + scratch.errorString();
    return false;
  }
  const QString scratchPdf = scratch.filePath(QStringLiteral("report.pdf"));
  {
    QPdfWriter writer(scratchPdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("EMI pre-compliance report"));
    QTextDocument document;
    if (!graph.isNull()) {
      document.addResource(QTextDocument::ImageResource,
                           QUrl(QString::fromStdString(content.pictureName)), graph);
    }
    // On the page the picture spans the text width; the HTML copy keeps a screen width.
    EmiReportContent onPage = content;
    onPage.pictureWidth = static_cast<int>(writer.width() * 0.9);
    document.setHtml(QString::fromStdString(EmiReportHtml(onPage)));
    document.setPageSize(QSizeF(writer.width(), writer.height()));
    QFont font = document.defaultFont();
    font.setPointSizeF(9 * 300.0 / 72);  // points at the writer's resolution
    document.setDefaultFont(font);
    document.print(&writer);
  }
  QFile written(scratchPdf);
  if (!written.open(QIODevice::ReadOnly) || written.size() == 0) {
    error = pdfPath + ": the PDF could not be written";
    return false;
  }
  if (!Save(pdfPath, written.readAll(), error)) return false;
  if (!Save(stem + ".html", html.toUtf8(), error)) return false;
  if (!graph.isNull()) {
    QSaveFile png(stem + ".png");
    if (!png.open(QIODevice::WriteOnly) || !graph.save(&png, "PNG") || !png.commit()) {
      error = stem + ".png: " + png.errorString();
      return false;
    }
  }
  return true;
}

}  // namespace vantrel
