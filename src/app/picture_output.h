#pragma once
// Writing the graph as a picture file and laying it on a printed page, for every window
// that saves or prints a spectrum graph.
#include <QImage>
#include <QString>

class QPrinter;

namespace vantrel {

// Writes the picture (JPEG at quality 90, or another Qt image format) through a
// temporary file renamed into place; a file it replaces keeps its permissions and
// modification time. False when it could not be written.
bool WritePicture(const QImage& picture, const QString& path, const char* format);

// The page in user units: x -100..700 across, y 100 downwards over `pageHeight` units
// (3000, or 4260 for the EMI graph with a marker row of the first five); the graph fills
// x 0..600 from y 0 downwards, `graphHeight` user units tall (its own scale's height).
void PrintGraphPage(QPrinter& printer, const QImage& picture, double graphHeight,
                    double pageHeight = 3000);

}  // namespace vantrel
