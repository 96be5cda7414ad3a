#include "app/emi_results_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>

#include "app/named.h"
#include "platform/emi_report_writer.h"
#include "platform/small_file.h"
#include "util/format.h"
#include "util/notifier.h"

namespace vantrel {

namespace {

// A number cell that sorts by value, shown as the report shows it.
QTableWidgetItem* NumberItem(const std::optional<double>& value, const char* pattern = "#0.0") {
  auto* item = new QTableWidgetItem;
  if (value) {
    item->setData(Qt::EditRole, *value);
    item->setData(Qt::DisplayRole, QString::fromStdString(FormatPattern(*value, pattern)));
  }
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

const char* const kColumns[] = {"Freq.(MHz)", "Level", "Upper limit", "Margin", "Lower limit",
                                "Margin", "QP", "AV", "Verdict", "Note"};

}  // namespace

EmiResultsWindow::EmiResultsWindow(EmiResultsHost host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(std::move(host)) {
  setObjectName(QStringLiteral("frmEmiResults"));
  setWindowTitle(QStringLiteral("EMI Results"));
  auto* grid = new QGridLayout(this);

  auto* options = new QFormLayout;
  spnGuardBand = Named(new QDoubleSpinBox(this), "spnGuardBand");
  spnGuardBand->setRange(0, 20);
  spnGuardBand->setSingleStep(0.5);
  spnGuardBand->setSuffix(QStringLiteral(" dB"));
  spnGuardBand->setValue(kDefaultGuardBandDb);
  spnEmissions = Named(new QSpinBox(this), "spnEmissions");
  spnEmissions->setRange(1, 50);
  spnEmissions->setValue(kDefaultEmissionCount);
  options->addRow(QStringLiteral("Guard band:"), spnGuardBand);
  options->addRow(QStringLiteral("Emissions:"), spnEmissions);
  lstCorrections = Named(new QListWidget(this), "lstCorrections");
  lstCorrections->setMaximumHeight(90);
  options->addRow(QStringLiteral("Corrections:"), lstCorrections);
  grid->addLayout(options, 0, 0);

  auto* device = new QFormLayout;
  txtDutName = Named(new QLineEdit(this), "txtDutName");
  txtDutModel = Named(new QLineEdit(this), "txtDutModel");
  txtDutSerial = Named(new QLineEdit(this), "txtDutSerial");
  txtDutOperator = Named(new QLineEdit(this), "txtDutOperator");
  txtDutNotes = Named(new QTextEdit(this), "txtDutNotes");
  txtDutNotes->setMaximumHeight(60);
  device->addRow(QStringLiteral("Device:"), txtDutName);
  device->addRow(QStringLiteral("Model:"), txtDutModel);
  device->addRow(QStringLiteral("Serial number:"), txtDutSerial);
  device->addRow(QStringLiteral("Operator:"), txtDutOperator);
  device->addRow(QStringLiteral("Notes:"), txtDutNotes);
  grid->addLayout(device, 0, 1);

  tblResults = Named(new QTableWidget(0, static_cast<int>(std::size(kColumns)), this), "tblResults");
  QStringList headers;
  for (const char* c : kColumns) headers << QString::fromLatin1(c);
  tblResults->setHorizontalHeaderLabels(headers);
  tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblResults->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Highest level first until the user sorts otherwise.
  tblResults->horizontalHeader()->setSortIndicator(1, Qt::DescendingOrder);
  tblResults->setSortingEnabled(true);
  grid->addWidget(tblResults, 1, 0, 1, 2);
  lblOverall = Named(new QLabel(this), "lblOverall");
  grid->addWidget(lblOverall, 2, 0, 1, 2);

  auto* buttons = new QHBoxLayout;
  cmdRemeasure = Named(new QPushButton(QStringLiteral("Re-measure"), this), "cmdRemeasure");
  cmdCopy = Named(new QPushButton(QStringLiteral("Copy"), this), "cmdCopy");
  cmdExportCsv = Named(new QPushButton(QStringLiteral("Export CSV..."), this), "cmdExportCsv");
  cmdReport = Named(new QPushButton(QStringLiteral("Report..."), this), "cmdReport");
  for (QPushButton* b : {cmdRemeasure, cmdCopy, cmdExportCsv, cmdReport}) buttons->addWidget(b);
  grid->addLayout(buttons, 3, 0, 1, 2);
  resize(820, 560);

  connect(spnGuardBand, &QDoubleSpinBox::valueChanged, this, [this] { Recompute(); });
  connect(spnEmissions, &QSpinBox::valueChanged, this, [this] { Recompute(); });
  connect(lstCorrections, &QListWidget::itemChanged, this, [this] {
    ticked_.clear();
    for (int i = 0; i < lstCorrections->count(); ++i) {
      if (lstCorrections->item(i)->checkState() == Qt::Checked) ticked_.push_back(available_[i]);
    }
    if (host_.correctionsChanged) host_.correctionsChanged();
    Recompute();
  });
  connect(cmdRemeasure, &QPushButton::clicked, this, [this] { Remeasure(); });
  connect(cmdCopy, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(QString::fromStdString(Csv())); });
  connect(cmdExportCsv, &QPushButton::clicked, this, [this] {
    const QString path = host_.chooseFile ? host_.chooseFile(QStringLiteral("CSV File (*.csv)")) : QString();
    QString error;
    if (!path.isEmpty() && !ReplaceSmallFile(path, Csv(), &error) && host_.notifier) {
      host_.notifier->ShowMessage("The file '" + path.toStdString() + "' could not be written: " +
                                      error.toStdString(), MessageIcon::Warning);
    }
  });
  connect(cmdReport, &QPushButton::clicked, this, [this] {
    const QString path = host_.chooseFile ? host_.chooseFile(QStringLiteral("PDF File (*.pdf)")) : QString();
    if (!path.isEmpty()) WriteReport(path);
  });
  LoadDevice();
}

void EmiResultsWindow::SetAvailableCorrections(std::vector<CorrectionTable> tables) {
  available_ = std::move(tables);
  const QSignalBlocker block(lstCorrections);
  lstCorrections->clear();
  ticked_.clear();
  for (const CorrectionTable& t : available_) {
    auto* item = new QListWidgetItem(QString::fromStdString(t.name + " (" +
                                                            std::string(CorrectionTypeName(t.type)) + ")"));
    item->setFlags(t.Usable() ? item->flags() | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
    item->setCheckState(Qt::Unchecked);
    if (!t.problems.empty()) {
      QString tip;
      for (const StandardProblem& p : t.problems)
        tip += QStringLiteral("line %1: %2\n").arg(p.line).arg(QString::fromStdString(p.text));
      item->setToolTip(tip.trimmed());
    }
    lstCorrections->addItem(item);
  }
}

void EmiResultsWindow::Recompute() {
  if (!host_.emissions || !host_.standard || !host_.axis) return;
  // The final measurements write into the table as it stands; it is judged again after.
  if (remeasuring_) {
    recomputeLater_ = true;
    return;
  }
  // The peaks first: finding them brings the measurement in force up to date.
  const std::vector<EmiPoint> peaks = host_.emissions();
  const std::span<const EmiPoint> measured = host_.measured ? host_.measured() : std::span<const EmiPoint>();
  table_ = ComputeResults(peaks, measured, host_.standard(), host_.axis(), spnGuardBand->value(),
                          spnEmissions->value(), host_.rbwMHz ? host_.rbwMHz() : 0);
  Fill();
}

void EmiResultsWindow::Fill() {
  tblResults->setSortingEnabled(false);
  tblResults->setRowCount(static_cast<int>(table_.emissions.size()));
  for (int r = 0; r < tblResults->rowCount(); ++r) {
    const EmissionResult& e = table_.emissions[static_cast<std::size_t>(r)];
    tblResults->setItem(r, 0, NumberItem(e.frequency, "#0.000##"));
    tblResults->setItem(r, 1, NumberItem(e.level));
    tblResults->setItem(r, 2, NumberItem(e.upperLimit));
    tblResults->setItem(r, 3, NumberItem(e.upperMargin));
    tblResults->setItem(r, 4, NumberItem(e.lowerLimit));
    tblResults->setItem(r, 5, NumberItem(e.lowerMargin));
    tblResults->setItem(r, 6, NumberItem(e.quasiPeak));
    tblResults->setItem(r, 7, NumberItem(e.average));
    auto* verdict = new QTableWidgetItem(QString::fromStdString(
        VerdictText(e.verdict) + (e.final ? " (final)" : " (prescan)")));
    verdict->setForeground(e.verdict == Verdict::Fail       ? QColor(200, 0, 0)
                           : e.verdict == Verdict::Marginal ? QColor(190, 120, 0)
                                                            : QColor(0, 120, 0));
    tblResults->setItem(r, 8, verdict);
    tblResults->setItem(r, 9, new QTableWidgetItem(QString::fromStdString(EmissionNote(e))));
  }
  tblResults->setSortingEnabled(true);
  lblOverall->setText(QStringLiteral("Overall: %1 (guard band %2 dB, %3 emissions)")
                          .arg(QString::fromStdString(VerdictText(table_.overall)))
                          .arg(spnGuardBand->value())
                          .arg(table_.emissions.size()));
}

void EmiResultsWindow::Remeasure() {
  if (remeasuring_) {
    stopRemeasure_ = true;  // ends after the measurement in hand
    return;
  }
  if (!host_.measureSpot) return;
  const std::vector<std::size_t> plan = RemeasurePlan(table_);
  if (plan.empty()) {
    if (host_.notifier) host_.notifier->SetStatus("No emission lies within the guard band of a limit.");
    return;
  }
  remeasuring_ = true;
  stopRemeasure_ = false;
  cmdRemeasure->setText(QStringLiteral("Stop"));
  const char* detectors[] = {"QPeak", "AVG"};
  double total = 0;
  for (const char* d : detectors) total += plan.size() * (host_.settleMs ? host_.settleMs(d) : 0);
  double done = 0;
  bool complete = true;
  for (std::size_t k = 0; k < plan.size() && complete; ++k) {
    const EmissionResult& e = table_.emissions[plan[k]];
    std::optional<double> levels[2];
    for (int d = 0; d < 2 && complete; ++d) {
      if (stopRemeasure_) {
        complete = false;
        break;
      }
      if (host_.notifier) {
        host_.notifier->SetProgress(done, total);
        host_.notifier->SetStatus("Re-measuring " + FormatShortest(e.frequency) + " MHz with " +
                                  detectors[d] + " (" + std::to_string(k + 1) + " of " +
                                  std::to_string(plan.size()) + ", about " +
                                  std::to_string(static_cast<int>((total - done) / 1000)) + " s left)");
      }
      levels[d] = host_.measureSpot(e.frequency, detectors[d]);
      if (!levels[d]) complete = false;
      done += host_.settleMs ? host_.settleMs(detectors[d]) : 0;
    }
    if (levels[0] || levels[1]) {
      ApplyFinalMeasurement(table_.emissions[plan[k]], levels[0], levels[1], table_.guardBandDb);
    }
  }
  table_.overall = Overall(table_);
  if (host_.notifier) {
    host_.notifier->SetProgress(-1, 0);
    host_.notifier->SetStatus(complete ? "" : "The final measurement was stopped; the emissions not "
                                               "measured keep their prescan verdicts.");
  }
  remeasuring_ = false;
  cmdRemeasure->setText(QStringLiteral("Re-measure"));
  Fill();
  // What the table judges changed meanwhile (a clear, a new guard band): judged afresh.
  if (recomputeLater_) {
    recomputeLater_ = false;
    Recompute();
  }
  if (host_.finalMeasured) host_.finalMeasured();
}

DeviceUnderTest EmiResultsWindow::Device() const {
  return {txtDutName->text().toStdString(), txtDutModel->text().toStdString(),
          txtDutSerial->text().toStdString(), txtDutOperator->text().toStdString(),
          txtDutNotes->toPlainText().toStdString()};
}

bool EmiResultsWindow::WriteReport(const QString& pdfPath) {
  SaveDevice();
  EmiReportContent content = host_.reportContent ? host_.reportContent() : EmiReportContent{};
  content.device = Device();
  content.results = table_;
  for (const CorrectionTable& t : ticked_) content.corrections.push_back(t.name);
  QString error;
  const bool written =
      WriteEmiReport(pdfPath, content, host_.reportPicture ? host_.reportPicture() : QImage(), error);
  if (!written && host_.notifier) {
    host_.notifier->ShowMessage("The report could not be written: " + error.toStdString(),
                                MessageIcon::Warning);
  }
  return written;
}

void EmiResultsWindow::LoadDevice() {
  if (!host_.settingsPath) return;
  QSettings s(host_.settingsPath(), QSettings::IniFormat);
  txtDutName->setText(s.value(QStringLiteral("Device/Name")).toString());
  txtDutModel->setText(s.value(QStringLiteral("Device/Model")).toString());
  txtDutSerial->setText(s.value(QStringLiteral("Device/Serial")).toString());
  txtDutOperator->setText(s.value(QStringLiteral("Device/Operator")).toString());
  txtDutNotes->setPlainText(s.value(QStringLiteral("Device/Notes")).toString());
}

void EmiResultsWindow::SaveDevice() const {
  if (!host_.settingsPath) return;
  QSettings s(host_.settingsPath(), QSettings::IniFormat);
  s.setValue(QStringLiteral("Device/Name"), txtDutName->text());
  s.setValue(QStringLiteral("Device/Model"), txtDutModel->text());
  s.setValue(QStringLiteral("Device/Serial"), txtDutSerial->text());
  s.setValue(QStringLiteral("Device/Operator"), txtDutOperator->text());
  s.setValue(QStringLiteral("Device/Notes"), txtDutNotes->toPlainText());
}

}  // namespace vantrel
