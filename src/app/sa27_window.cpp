#include "app/sa27_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/control_panel_rules.h"
#include "app/graph_picture.h"
#include "app/marker_handles.h"
#include "app/port_combo.h"
#include "app/user_scale_pixels.h"
#include "display/capture.h"
#include "display/graph_frame.h"
#include "display/graph_mapping.h"
#include "display/limit_line_drawing.h"
#include "display/spectrum_graph.h"
#include "util/format.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

std::string S(const QString& text) {
  return text.toStdString();
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

Sa27Window::Sa27Window(AnalyzerLinks links, QWidget* parent)
    : QWidget(parent),
      links_(std::move(links)),
      link_(links_.clock, links_.notifier, *links_.serial),
      commands_(link_),
      exchange_(links_.notifier) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("2.7GHz SA"));
  resize(820, 640);
  state_.refCaption = "Ref Lvl: ";
  state_.traceCaption = "Live";
  state_.settings.RefUnit = "dBm";
  state_.settings.Scale = 10;
  state_.settings.FreqStop = kSa27MaxFrequencyMHz;
  state_.settings.FreqCenter = kSa27MaxFrequencyMHz / 2;
  state_.settings.Span = FrequencyLabel(kSa27MaxFrequencyMHz);
  // This model has one live trace, in the clear-write layer the markers read; the other
  // two layers stay empty and must not stand in for it.
  RawTrace& live = state_.liveTraces[0];
  live.SetColour(kLiveTraceColors[0]);
  live.SetMode(0);
  state_.liveTraces[1].SetMode(1);
  state_.liveTraces[2].SetMode(2);
  BuildControls();
}

Sa27Window::~Sa27Window() {
  state_.closing = true;
  link_.Close();
}

void Sa27Window::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(QStringLiteral("Port:"), this));
  combo1_ = MakePortCombo("Combo1", this);
  buttons->addWidget(combo1_);

  struct Action {
    const char* name;
    const char* caption;
    void (Sa27Window::*run)();
  };
  const Action first[] = {{"cmdOpen", "Open", &Sa27Window::OpenPort},
                          {"cmdClose", "Close", &Sa27Window::ClosePort},
                          {"cmdCapture", "Capture", &Sa27Window::Capture}};
  for (const auto& a : first) {
    QPushButton* b = Button(a.name, a.caption, this);
    connect(b, &QPushButton::clicked, this, [this, run = a.run] { (this->*run)(); });
    buttons->addWidget(b);
  }
  text1_ = new QLineEdit(QStringLiteral("1"), this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setMaximumWidth(50);
  buttons->addWidget(text1_);
  const Action rest[] = {{"cmdDraw", "Draw", &Sa27Window::DrawStoredTrace},
                         {"cmdGetLimit", "Get Limit", &Sa27Window::GetLimit}};
  for (const auto& a : rest) {
    QPushButton* b = Button(a.name, a.caption, this);
    connect(b, &QPushButton::clicked, this, [this, run = a.run] { (this->*run)(); });
    buttons->addWidget(b);
  }
  chkHLimit_ = new QCheckBox(QStringLiteral("H Limit"), this);
  chkHLimit_->setObjectName(QStringLiteral("chkHLimit"));
  chkLLimit_ = new QCheckBox(QStringLiteral("L Limit"), this);
  chkLLimit_->setObjectName(QStringLiteral("chkLLimit"));
  connect(chkHLimit_, &QCheckBox::clicked, this, [this] {
    OnLimitChecked(chkHLimit_, higherRead_, "You must get higher limit line first.");
  });
  connect(chkLLimit_, &QCheckBox::clicked, this, [this] {
    OnLimitChecked(chkLLimit_, lowerRead_, "You must get lower limit line first.");
  });
  buttons->addWidget(chkHLimit_);
  buttons->addWidget(chkLLimit_);
  cboSaveType_ = new QComboBox(this);
  cboSaveType_->setObjectName(QStringLiteral("cboSaveType"));
  buttons->addWidget(cboSaveType_);
  const Action last[] = {{"cmdClear", "Clear", &Sa27Window::Clear},
                         {"cmdSave", "Save", &Sa27Window::Save},
                         {"cmdPrint", "Print", &Sa27Window::Print},
                         {"cmdQuit", "Quit", &Sa27Window::Quit}};
  for (const auto& a : last) {
    QPushButton* b = Button(a.name, a.caption, this);
    connect(b, &QPushButton::clicked, this, [this, run = a.run] { (this->*run)(); });
    buttons->addWidget(b);
  }
  buttons->addStretch();
  layout->addLayout(buttons);

  auto* markers = new QHBoxLayout;
  for (int i = 0; i < kMarkers; ++i) {
    chkMkr_[i] = new QCheckBox(QStringLiteral("MKR%1").arg(i), this);
    chkMkr_[i]->setObjectName(QStringLiteral("chkMMkr_%1").arg(i));
    txtMkr_[i] = new QLineEdit(QStringLiteral("0"), this);
    txtMkr_[i]->setObjectName(QStringLiteral("txtMkr_%1").arg(i));
    txtMkr_[i]->setMaximumWidth(90);
    connect(chkMkr_[i], &QCheckBox::toggled, this, [this, i](bool on) {
      state_.markerEnabled[i] = on;
      markers_.rows[i].enabled = on;
      Repaint();
    });
    connect(txtMkr_[i], &QLineEdit::editingFinished, this, [this, i] { OnMarkerEdited(i); });
    markers->addWidget(chkMkr_[i]);
    markers->addWidget(txtMkr_[i]);
  }
  markers->addStretch();
  layout->addLayout(markers);

  pic1_ = new GraphPicture(this);
  pic1_->setObjectName(QStringLiteral("Pic1"));
  pic1_->draw = [this](Canvas& canvas) { PaintGraph(canvas); };
  layout->addWidget(pic1_, 1);
  for (int i = 0; i < kMarkers; ++i) {
    picMKR_[i] = new MarkerHandle(i, pic1_);
    picMKR_[i]->setObjectName(QStringLiteral("picMKR_%1").arg(i));
    picMKR_[i]->SetColors(state_.backColor, kHandleColor);
    picMKR_[i]->hide();
    picMKR_[i]->dropped = [this](int index, QPoint pixel) { DropHandle(index, pixel); };
  }
  WireOutput();
}

void Sa27Window::OpenPort() {
  const std::string text = S(combo1_->currentText());
  if (const auto problem = CheckPortNumber(text)) {
    links_.notifier.ShowMessage(problem->message, MessageIcon::None);
    return;
  }
  const double number = NumericValue(text);
  Exchange([this, number] {
    link_.portNumber = static_cast<int>(RoundHalfEven(number));
    if (!link_.Connect()) links_.notifier.ShowMessage("Communication Error!", MessageIcon::Warning);
  });
}

void Sa27Window::Exchange(const std::function<void()>& work) {
  exchange_.Run(this, work, [this] { Quit(); });
}

void Sa27Window::closeEvent(QCloseEvent* event) {
  state_.closing = true;
  event->setAccepted(exchange_.MayClose(link_));
}

void Sa27Window::ClosePort() {
  if (!exchange_.Busy()) link_.Close();
}

void Sa27Window::ReadSettings() {
  AnalyzerSettings& s = state_.settings;
  s.RefLevel = static_cast<float>(commands_.Get_RefLevel());
  s.RefUnit = commands_.Get_RefUnit();
  const double scale = commands_.Get_Scale();
  s.Scale = scale > 0 ? static_cast<float>(scale) : 10.0f;
  s.FreqStart = commands_.Get_FreqStart();
  s.FreqStop = commands_.Get_FreqStop();
  s.FreqCenter = commands_.Get_FreqCenter();
  s.Span = FrequencyLabel(commands_.Get_Span());
  s.RBW = commands_.Get_RBW();
  s.VBW = commands_.Get_VBW();
  s.SweepTime = FormatShortest(commands_.Get_SweepTime()) + " ms";
  s.TimeStamp = commands_.Get_Clock();
}

void Sa27Window::Capture() {
  if (!link_.IsOpen()) return;
  Exchange([this] {
    ReadSettings();
    commands_.SwitchToLive();
    commands_.Get_SweepMode();
    RawTrace& live = state_.liveTraces[0];
    commands_.ReadTrace(kSa27LiveTraceWaitMs, live.Points());
    live.SetValid(true);
    Repaint();
  });
}

void Sa27Window::DrawStoredTrace() {
  std::string text = S(text1_->text());
  if (!ValidateStoredIndex(text, state_, links_.notifier)) {
    text1_->setText(QString::fromStdString(text));
    return;
  }
  if (!link_.IsOpen()) return;
  const int index = static_cast<int>(RoundHalfEven(NumericValue(text)));
  RawTrace& slot = state_.storedTraces[static_cast<std::size_t>(index - 1)];
  bool read = false;
  Exchange([&] {
    commands_.SwitchToStored(index);
    commands_.ReadTrace(kSa27StoredTraceWaitMs, slot.Points());
    read = true;
  });
  if (!read || state_.closing) return;
  const bool empty = std::all_of(slot.Points().begin(), slot.Points().end(),
                                 [](std::int16_t p) { return p == 0; });
  slot.SetValid(!empty);
  slot.SetMode(static_cast<std::int16_t>(index));
  slot.SetColour(state_.storedColor);
  state_.lastStoredIndexText = text;
  if (empty) {
    links_.notifier.ShowMessage("Stored trace (" + std::to_string(index) + ") is empty.",
                                MessageIcon::None);
  }
  Repaint();
}

void Sa27Window::GetLimit() {
  if (!link_.IsOpen()) return;
  Exchange([this] {
    higher_ = commands_.ReadLimitLine(Sa27LimitKind::Higher);
    lower_ = commands_.ReadLimitLine(Sa27LimitKind::Lower);
    higherRead_ = lowerRead_ = true;
    state_.higherLimitLoaded = state_.lowerLimitLoaded = true;
    Repaint();
  });
}

void Sa27Window::OnLimitChecked(QCheckBox* box, bool loaded, const char* message) {
  if (box->isChecked() && !loaded) {
    box->setChecked(false);
    links_.notifier.ShowMessage(message, MessageIcon::None);
  }
  state_.higherLimitChecked = chkHLimit_->isChecked();
  state_.lowerLimitChecked = chkLLimit_->isChecked();
  Repaint();
}

void Sa27Window::OnMarkerEdited(int i) {
  const std::string text = S(txtMkr_[i]->text());
  if (const auto problem = ValidateMarkerFrequency(text, kSa27MaxFrequencyMHz)) {
    if (!problem->correctedText.empty()) {
      txtMkr_[i]->setText(QString::fromStdString(problem->correctedText));
    }
    links_.notifier.ShowMessage(problem->message, MessageIcon::None);
  }
  markers_.rows[i].frequencyText = S(txtMkr_[i]->text());
  Repaint();
}

void Sa27Window::Clear() {
  state_.liveTraces[0].SetValid(false);
  for (RawTrace& t : state_.storedTraces) t.SetValid(false);
  Repaint();
}

void Sa27Window::Quit() {
  CloseWindowFrame(this);
}

GraphLayers Sa27Window::Layers() {
  GraphLayers layers;
  layers.drawHigherLimit = [this](Canvas& c) {
    DrawLimitLine(c, higher_, kHigherLimitColor, state_.backColor, state_.settings);
  };
  layers.drawLowerLimit = [this](Canvas& c) {
    DrawLimitLine(c, lower_, kLowerLimitColor, state_.backColor, state_.settings);
  };
  layers.markerCalculate = [this](Canvas& c, std::span<const std::int16_t> counts) {
    MarkerCalculate(&c, counts, state_.settings, markers_);
  };
  layers.processEvents = [this] { links_.clock.ProcessEvents(); };
  return layers;
}

void Sa27Window::PaintGraph(Canvas& canvas) {
  DrawGrid(canvas, state_, Layers());
  DrawStored(canvas, state_);
  PlaceHandles();
}

void Sa27Window::PlaceHandles() {
  const UserScale scale = GraphScale(state_.AnyMarkerEnabled());
  for (int i = 0; i < kMarkers; ++i) {
    MarkerHandle* h = picMKR_[i];
    if (!h || h->Dragging()) continue;
    const HandleState& hs = markers_.handles[i];
    if (!hs.visible || !state_.markerEnabled[i]) {
      h->hide();
      continue;
    }
    h->MoveTipTo(UserToPixel(scale, pic1_->size(), hs.x, hs.y));
    h->show();
  }
}

void Sa27Window::DropHandle(int index, const QPoint& pixel) {
  // Let go outside the graph: the picture goes back to its marker.
  if (pic1_->rect().contains(pixel)) {
    const QPointF at = PixelToUser(GraphScale(state_.AnyMarkerEnabled()), pic1_->size(), pixel);
    const std::string text = MarkerFrequencyText(state_.settings, DropPoint(at.x()));
    txtMkr_[index]->setText(QString::fromStdString(text));
    markers_.rows[index].frequencyText = text;
  }
  Repaint();
}

void Sa27Window::Repaint() {
  // The marker table follows now, so what reads it sees this repaint's values; the
  // picture follows at the next paint.
  state_.UpdateMarkerTrace();
  if (state_.AnyMarkerEnabled()) {
    MarkerCalculate(nullptr, state_.markerTrace, state_.settings, markers_);
  }
  pic1_->update();
}

}  // namespace vantrel
