#include "display/graph_font_fit.h"

#include <algorithm>
#include <string>

#include "display/graph_frame.h"

namespace vantrel {

namespace {

constexpr double kRowSpacing = 50;  // between the header rows and the marker rows

// The marker table's headings and the room each has before the next column.
struct Column {
  const char* text;
  double room;
};
constexpr Column kColumns[] = {{"MKR", 60},   {"Freq.(MHz)", 110},   {"Level", 60},
                               {"D_MKR", 80}, {"D_Freq.(MHz)", 120}, {"D_Level", 110}};

}  // namespace

float FittingFontScale(Canvas& canvas, float wanted) {
  const UserScale savedScale = canvas.Scale();
  const double savedFont = canvas.FontSize();
  // With markers on, the picture holds the most rows, so they lie closest.
  canvas.SetScale(GraphScale(true));
  canvas.SetFontSize(kBaseFontSize);
  double limit = canvas.TextHeight("Ag") > 0 ? kRowSpacing / canvas.TextHeight("Ag") : 1;
  for (const Column& column : kColumns) {
    const double width = canvas.TextWidth(column.text);
    if (width > 0) limit = std::min(limit, column.room / width);
  }
  canvas.SetScale(savedScale);
  canvas.SetFontSize(savedFont);
  return std::max(1.0f, std::min(wanted, static_cast<float>(limit)));
}

}  // namespace vantrel
