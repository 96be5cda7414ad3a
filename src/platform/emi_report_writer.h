#pragma once
// Writes the EMI report as a PDF (Qt's own writer) and, beside it, the same content as an
// HTML file with the graph as a PNG, for pasting into other documents. Each file goes
// through a temporary file renamed into place.
#include <QImage>
#include <QString>

#include "emi/emi_report.h"

namespace vantrel {

// Writes `pdfPath`, and the HTML copy and picture beside it (same name, ".html" and
// ".png"). False with the reason in `error` when a file could not be written.
bool WriteEmiReport(const QString& pdfPath, EmiReportContent content, const QImage& graph,
                    QString& error);

}  // namespace vantrel
