#include "emi/emi_report.h"

#include "util/format.h"

namespace vantrel {

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "<br>"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Row(const std::string& name, const std::string& value) {
  return "<tr><th align=\"left\">" + Escaped(name) + "</th><td>" + Escaped(value) + "</td></tr>\n";
}

std::string Cell(const std::optional<double>& v) {
  return "<td align=\"right\">" + (v ? FormatPattern(*v, "#0.0") : std::string("&ndash;")) + "</td>";
}

}  // namespace

std::string EmiReportHtml(const EmiReportContent& r) {
  std::string html =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>EMI pre-compliance report</title>"
      "</head><body>\n<h1>EMI pre-compliance report</h1>\n<table>\n";
  html += Row("Device", r.device.name) + Row("Model", r.device.model) +
          Row("Serial number", r.device.serialNumber) + Row("Operator", r.device.operatorName) +
          Row("Report written", r.dateTime) + Row("Measured", r.header.timeStamp) +
          Row("Standard", r.standardName) + Row("Mode", r.mode) + Row("Detector", r.detector) +
          Row("RBW", r.rbw) + Row("Reference level", FormatShortest(r.refLevel) + " dBuV");
  std::string corrections;
  for (std::size_t i = 0; i < r.corrections.size(); ++i) corrections += (i ? ", " : "") + r.corrections[i];
  html += Row("Corrections", corrections.empty() ? "none" : corrections);
  html += "</table>\n";
  if (!r.device.notes.empty()) html += "<p>" + Escaped(r.device.notes) + "</p>\n";
  if (!r.pictureName.empty()) html += "<p><img src=\"" + Escaped(r.pictureName) + "\" width=\"" + std::to_string(r.pictureWidth) + "\"></p>\n";
  html += "<h2>Emissions</h2>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
          "<tr><th>Freq. (MHz)</th><th>Level (dBuV)</th><th>Upper limit</th><th>Margin</th>"
          "<th>Lower limit</th><th>Margin</th><th>QP</th><th>AV</th><th>Verdict</th><th>Note</th></tr>\n";
  for (const EmissionResult& e : r.results.emissions) {
    html += "<tr><td align=\"right\">" + FormatShortest(e.frequency) + "</td>" + Cell(e.level) +
            Cell(e.upperLimit) + Cell(e.upperMargin) + Cell(e.lowerLimit) + Cell(e.lowerMargin) +
            Cell(e.quasiPeak) + Cell(e.average) + "<td>" + VerdictText(e.verdict) +
            (e.final ? " (final)" : " (prescan)") + "</td><td>" + Escaped(EmissionNote(e)) + "</td></tr>\n";
  }
  html += "</table>\n<p><b>Overall verdict: " + VerdictText(r.results.overall) + "</b> (guard band " +
          FormatShortest(r.results.guardBandDb) + " dB)</p>\n";
  html += "<p>" + std::string(kReportDisclaimer) + "</p>\n</body></html>\n";
  return html;
}

}  // namespace vantrel
