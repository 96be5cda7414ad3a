#include "app/sa27_emi_control.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/emi_marker_panel.h"
#include "app/focus_rules.h"
#include "app/control_panel_rules.h"
#include "app/graph_picture.h"
#include "app/port_combo.h"
#include "app/sa27_emi_display.h"
#include "app/standard_problems.h"
#include "emi/sa27_emi_rules.h"
#include "platform/standard_folder.h"
#include "util/format.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

Sa27EmiControl::Sa27EmiControl(AnalyzerLinks links, Sa27EmiDisplay* display, QWidget* parent)
    : QWidget(parent),
      links_(std::move(links)),
      link_(links_.clock, links_.notifier, *links_.serial),
      commands_(link_),
      sequence_(commands_),
      exchange_(links_.notifier),
      shared_(links_.sharedEmi ? links_.sharedEmi : std::make_shared<SharedEmi>()),
      display_(display) {
  setObjectName(QStringLiteral("frmControl"));
  setWindowTitle(QStringLiteral("EMC Mode Control Panel"));
  resize(380, 560);
  sequence_.stopped = [this] { return closing_; };
  graph_.standard = &shared_->standard;
  graph_.results = &shared_->results;
  graph_.modeText = "Conducted";
  graph_.wideRangeScan = true;
  graph_.fixedScaleHeight = kSa27EmiScaleHeight;
  graph_.scaleHeight = kSa27EmiScaleHeight;
  graph_.showError = [this](int number, const std::string& description) {
    ShowErrorBox(links_.notifier, number, description);
  };
  BuildControls();
  // A later panel may take the display over; a gone one draws nothing.
  if (display_) {
    display_->Picture()->draw = [self = QPointer<Sa27EmiControl>(this)](Canvas& canvas) {
      if (self) self->PaintDisplay(canvas);
    };
  }
  shared_->refLevel = std::clamp(shared_->refLevel, kSa27EmiMinRefLevel, kSa27EmiMaxRefLevel);
  txtReflvl_->setText(Q(FormatShortest(shared_->refLevel)));
  ListStandardFiles();
  UpdateEnabled();
}

Sa27EmiControl::~Sa27EmiControl() {
  closing_ = true;
  link_.Close();
}

void Sa27EmiControl::BuildControls() {
  auto* layout = new QVBoxLayout(this);

  auto* port = new QHBoxLayout;
  port->addWidget(new QLabel(QStringLiteral("COM Port:"), this));
  cboPortNo_ = MakePortCombo("cboPortNo", this);
  port->addWidget(cboPortNo_);
  chkPort_ = new QCheckBox(QStringLiteral("Open"), this);
  chkPort_->setObjectName(QStringLiteral("chkPort"));
  connect(chkPort_, &QCheckBox::clicked, this, [this](bool on) { on ? OpenPort() : ClosePort(); });
  port->addWidget(chkPort_);
  port->addStretch();
  layout->addLayout(port);

  auto* standard = new QGroupBox(QStringLiteral("Standard"), this);
  auto* standardLayout = new QVBoxLayout(standard);
  cboStd_ = new QComboBox(standard);
  cboStd_->setObjectName(QStringLiteral("cboStd"));
  // Long standard names must not widen the panel past the display beside it.
  cboStd_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cboStd_->setMinimumContentsLength(24);
  connect(cboStd_, &QComboBox::activated, this, [this](int i) { SelectStandard(i); });
  lblStd_ = new QLabel(standard);
  lblStd_->setObjectName(QStringLiteral("lblStd"));
  lblStd_->setWordWrap(true);
  lblStdProblems_ = new QLabel(standard);
  lblStdProblems_->setObjectName(QStringLiteral("lblStdProblems"));
  lblStdProblems_->setWordWrap(true);
  lblStdProblems_->hide();
  standardLayout->addWidget(cboStd_);
  standardLayout->addWidget(lblStd_);
  standardLayout->addWidget(lblStdProblems_);
  layout->addWidget(standard);

  auto* form = new QFormLayout;
  txtReflvl_ = new QLineEdit(this);
  txtReflvl_->setObjectName(QStringLiteral("txtReflvl"));
  txtReflvl_->installEventFilter(this);
  connect(txtReflvl_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!CheckSa27EmiRefLevel(S(text))) {
      shared_->refLevel = NumericValue(S(text));
      Repaint();
    }
  });
  form->addRow(QStringLiteral("Ref. Level (dBuV):"), txtReflvl_);
  chkThreshold_ = new QCheckBox(QStringLiteral("Threshold (dB):"), this);
  chkThreshold_->setObjectName(QStringLiteral("chkThreshold"));
  connect(chkThreshold_, &QCheckBox::toggled, this, [this] { Repaint(); });
  txtThreshold_ = new QLineEdit(QStringLiteral("0"), this);
  txtThreshold_->setObjectName(QStringLiteral("txtThreshold"));
  txtThreshold_->installEventFilter(this);
  connect(txtThreshold_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!CheckSa27EmiThreshold(S(text))) {
      threshold_ = NumericValue(S(text));
      Repaint();
    }
  });
  form->addRow(chkThreshold_, txtThreshold_);
  layout->addLayout(form);

  cmdCapture_ = new QPushButton(QStringLiteral("Capture"), this);
  cmdCapture_->setObjectName(QStringLiteral("cmdCapture"));
  connect(cmdCapture_, &QPushButton::clicked, this, [this] { Capture(); });
  layout->addWidget(cmdCapture_);

  EmiMarkerPanelHost host;
  host.repaint = [this] { Repaint(); };
  host.graph = [this]() -> const EmiGraphState& { return graph_; };
  host.markerPoints = [this]() -> const EmiTrace& {
    FillGraph();
    return graph_.markerPoints;
  };
  host.backColor = [this] { return graph_.backColor; };
  host.notifier = &links_.notifier;
  host.checkFrequency = CheckSa27EmiMarker;
  host.handleName = QStringLiteral("picMKR_%1");
  host.windowButtons = false;
  markers_ = new EmiMarkerPanel(display_ ? display_->Picture() : nullptr, std::move(host), this);
  layout->addWidget(markers_);
  layout->addStretch();
}

void Sa27EmiControl::ListStandardFiles() {
  const std::vector<StandardFile> files = links_.standardFolders
                                              ? ReadStandardFolders(links_.standardFolders())
                                              : std::vector<StandardFile>{};
  StandardListing listing = ListNamedStandards(files);
  ShowStandardProblems(lblStdProblems_, listing.problems);
  entries_ = std::move(listing.entries);
  cboStd_->clear();
  for (const StandardEntry& e : entries_) cboStd_->addItem(Q(e.name));
  if (entries_.empty()) {
    cboStd_->setCurrentIndex(-1);
    lblStd_->clear();
    return;
  }
  SelectStandard(0);
}

void Sa27EmiControl::SelectStandard(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  cboStd_->setCurrentIndex(index);
  const StandardEntry& entry = entries_[static_cast<std::size_t>(index)];
  lblStd_->setText(Q(entry.description));
  LimitStandard& standard = shared_->standard;
  ParseStandard(ReadStandardFile(Q(entry.path)).bytes, standard);
  // The standard's own reference level, within what this panel accepts.
  if (standard.refLevel != 0) {
    const double level = std::clamp(standard.refLevel, kSa27EmiMinRefLevel, kSa27EmiMaxRefLevel);
    txtReflvl_->setText(Q(FormatShortest(level)));
  }
  Repaint();
}

void Sa27EmiControl::OpenPort() {
  const std::string text = S(cboPortNo_->currentText());
  if (const auto problem = CheckPortNumber(text)) {
    chkPort_->setChecked(false);
    links_.notifier.ShowMessage(problem->message, MessageIcon::None);
    return;
  }
  bool connected = false;
  const bool ran = exchange_.Run(
      this,
      [&] {
        link_.portNumber = static_cast<int>(RoundHalfEven(NumericValue(text)));
        connected = link_.Connect();
      },
      [this] { Quit(); });
  if (ran && !connected && !closing_) {
    links_.notifier.ShowMessage("Communication Error !", MessageIcon::Warning);
  }
  UpdateEnabled();
}

void Sa27EmiControl::ClosePort() {
  if (!exchange_.Busy()) link_.Close();
  UpdateEnabled();
}

void Sa27EmiControl::Capture() {
  if (!link_.IsOpen()) return;
  if (const auto problem = CheckSa27EmiRefLevel(S(txtReflvl_->text()))) {
    links_.notifier.ShowMessage(problem->message, MessageIcon::None);
    if (!problem->correctedText.empty()) txtReflvl_->setText(Q(problem->correctedText));
    return;
  }
  exchange_.Run(
      this,
      [this] {
        cmdCapture_->setEnabled(false);
        chkPort_->setEnabled(false);
        cboStd_->setEnabled(false);
        sequence_.Run(shared_->standard, shared_->refLevel, shared_->results);
      },
      [this] { Quit(); });
  if (closing_) return;
  UpdateEnabled();
  Repaint();
}

void Sa27EmiControl::UpdateEnabled() {
  const bool open = link_.IsOpen();
  chkPort_->setEnabled(true);
  chkPort_->setChecked(open);
  cboStd_->setEnabled(true);
  cmdCapture_->setEnabled(open);
}

void Sa27EmiControl::FillGraph() {
  graph_.emiRefLevel = shared_->refLevel;
  graph_.thresholdOn = chkThreshold_->isChecked();
  graph_.threshold = threshold_;
  markers_->FillMarkers(graph_);
  UpdateEmiMarkerPoints(graph_);
}

void Sa27EmiControl::PaintDisplay(Canvas& canvas) {
  FillGraph();
  const LimitStandard& standard = shared_->standard;
  EMC_DrawGrid(canvas, graph_, standard.lowerPresent, standard.upperPresent, true);
  markers_->PlaceHandles(graph_);
}

void Sa27EmiControl::Repaint() {
  // The drawing reads the panel afresh.
  if (display_) display_->Picture()->update();
}

bool Sa27EmiControl::eventFilter(QObject* watched, QEvent* event) {
  if (FocusLeavesForAControl(event) && !RefusalGuard::Active()) {
    if (watched == txtReflvl_) CheckMarkerText(txtReflvl_, &links_.notifier, CheckSa27EmiRefLevel);
    if (watched == txtThreshold_) {
      CheckMarkerText(txtThreshold_, &links_.notifier, CheckSa27EmiThreshold);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Sa27EmiControl::closeEvent(QCloseEvent* event) {
  closing_ = true;
  event->setAccepted(exchange_.MayClose(link_));
}

void Sa27EmiControl::Quit() {
  CloseWindowFrame(this);
}

}  // namespace vantrel
