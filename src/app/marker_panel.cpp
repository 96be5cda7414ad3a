#include "app/marker_panel.h"
#include "app/user_scale_pixels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

#include "app/focus_rules.h"
#include "app/marker_handles.h"
#include "display/graph_frame.h"
#include "display/limit_line_drawing.h"
#include "display/peaks.h"
#include "display/stored_display.h"
#include "util/format.h"
#include "util/notifier.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

constexpr int kPeakMarkers = kMarkers;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

}  // namespace

MarkerPanel::MarkerPanel(QWidget* pic1, MarkerPanelHost host, QWidget* parent)
    : QGroupBox(QStringLiteral("Marker Function"), parent), pic1_(pic1), host_(std::move(host)) {
  setObjectName(QStringLiteral("fraMarker"));
  BuildRows();
  BuildOptions();
  if (pic1_) {
    // The graph must take the focus for a selected handle to lose it again.
    if (pic1_->focusPolicy() == Qt::NoFocus) pic1_->setFocusPolicy(Qt::ClickFocus);
    pic1_->installEventFilter(this);
  }
  SyncState();
  MakeMarker(host_.state ? host_.state->backColor : kDefaultBackColor, kNoMarker);
}

MarkerPanel::~MarkerPanel() {
  if (pic1_) pic1_->removeEventFilter(this);
}

void MarkerPanel::BuildRows() {
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("MKR")), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Freq.(MHz)")), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Delta")), 0, 2);
  for (int i = 0; i < kMarkers; ++i) {
    chkMMkr_[i] = new QCheckBox(QString::number(i), this);
    chkMMkr_[i]->setObjectName(QStringLiteral("chkMMkr_%1").arg(i));
    txtMkr_[i] = new QLineEdit(QStringLiteral("0"), this);
    txtMkr_[i]->setObjectName(QStringLiteral("txtMkr_%1").arg(i));
    txtMkr_[i]->installEventFilter(this);
    cboMkrDelta_[i] = new QComboBox(this);
    cboMkrDelta_[i]->setObjectName(QStringLiteral("cboMkrDelta_%1").arg(i));
    cboMkrDelta_[i]->addItems({"N", "0", "1", "2", "3", "4"});
    grid->addWidget(chkMMkr_[i], i + 1, 0);
    grid->addWidget(txtMkr_[i], i + 1, 1);
    grid->addWidget(cboMkrDelta_[i], i + 1, 2);

    connect(chkMMkr_[i], &QCheckBox::toggled, this, [this, i] { OnEnabledClicked(i); });
    connect(txtMkr_[i], &QLineEdit::textChanged, this, [this] { Repaint(); });
    connect(cboMkrDelta_[i], &QComboBox::currentIndexChanged, this, [this] { Repaint(); });

    if (pic1_) {
      picMKR_[i] = new MarkerHandle(i, pic1_);
      picMKR_[i]->dropped = [this](int index, QPoint pixel) {
        if (!pic1_->rect().contains(pixel)) {
          Repaint();  // let go outside the graph: the handle goes back to its marker
          return;
        }
        for (MarkerHandle* other : picMKR_) {
          if (other != picMKR_[index] && !other->isHidden() && other->geometry().contains(pixel)) {
            // A drop onto another handle only selects the dragged marker.
            SetSelectedMarker(index);
            Repaint();
            return;
          }
        }
        const QPointF g = ToGraph(QPointF(pixel));
        DropHandle(index, g.x(), g.y());
      };
      picMKR_[i]->droppedOnItself = [this](int index) {
        if (pic1_) pic1_->setFocus();
        SetSelectedMarker(index);
      };
    }
  }
  outer->addLayout(grid);
}

void MarkerPanel::BuildOptions() {
  auto* sources = new QHBoxLayout;
  optMkrLive_ = new QRadioButton(QStringLiteral("Live"), this);
  optMkrLive_->setObjectName(QStringLiteral("optMkrLive"));
  optStorage_ = new QRadioButton(QStringLiteral("Storage"), this);
  optStorage_->setObjectName(QStringLiteral("optStorage"));
  optMkrLive_->setChecked(host_.state ? host_.state->markerSourceLive : true);
  optStorage_->setChecked(!optMkrLive_->isChecked());
  sources->addWidget(optMkrLive_);
  sources->addWidget(optStorage_);
  connect(optMkrLive_, &QRadioButton::toggled, this, [this] { Repaint(); });

  cmdSAPeaks_ = new QPushButton(QStringLiteral("All to Peaks"), this);
  cmdSAPeaks_->setObjectName(QStringLiteral("cmdSAPeaks"));
  connect(cmdSAPeaks_, &QPushButton::clicked, this, [this] { AllToPeaks(); });

  auto* limits = new QHBoxLayout;
  limits->addWidget(new QLabel(QStringLiteral("Limit Line:"), this));
  chkHLimit_ = new QCheckBox(QStringLiteral("Higher"), this);
  chkHLimit_->setObjectName(QStringLiteral("chkHLimit"));
  chkLLimit_ = new QCheckBox(QStringLiteral("Lower"), this);
  chkLLimit_->setObjectName(QStringLiteral("chkLLimit"));
  if (host_.state) {
    chkHLimit_->setChecked(host_.state->higherLimitChecked);
    chkLLimit_->setChecked(host_.state->lowerLimitChecked);
  }
  limits->addWidget(chkHLimit_);
  limits->addWidget(chkLLimit_);
  connect(chkHLimit_, &QCheckBox::toggled, this, [this] { Repaint(); });
  connect(chkLLimit_, &QCheckBox::toggled, this, [this] { Repaint(); });

  cmdOK2_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK2_->setObjectName(QStringLiteral("cmdOK2"));
  connect(cmdOK2_, &QPushButton::clicked, this, &MarkerPanel::okClicked);

  auto* outer = static_cast<QVBoxLayout*>(layout());
  outer->addLayout(sources);
  outer->addWidget(cmdSAPeaks_);
  outer->addLayout(limits);
  outer->addWidget(cmdOK2_);
}

GraphLayers MarkerPanel::Layers() {
  GraphLayers layers;
  layers.markerCalculate = [this](Canvas& c, std::span<const std::int16_t> counts) {
    Calculate(&c, counts);
  };
  layers.hideMarkerHandles = [this] { HideHandles(); };
  layers.drawHigherLimit = [this](Canvas& c) {
    if (host_.state)
      DrawLimitLine(c, limits_.higher, kHigherLimitColor, host_.state->backColor,
                    host_.state->settings);
  };
  layers.drawLowerLimit = [this](Canvas& c) {
    if (host_.state)
      DrawLimitLine(c, limits_.lower, kLowerLimitColor, host_.state->backColor,
                    host_.state->settings);
  };
  layers.processEvents = host_.processEvents;
  return layers;
}

void MarkerPanel::SyncState() {
  for (int i = 0; i < kMarkers; ++i) {
    view_.rows[i].enabled = chkMMkr_[i]->isChecked();
    view_.rows[i].frequencyText = S(txtMkr_[i]->text());
    view_.rows[i].deltaText = S(cboMkrDelta_[i]->currentText());
  }
  if (!host_.state) return;
  DisplayState& st = *host_.state;
  for (int i = 0; i < kMarkers; ++i) st.markerEnabled[i] = view_.rows[i].enabled;
  st.markerSourceLive = optMkrLive_->isChecked();
  st.higherLimitChecked = chkHLimit_->isChecked();
  st.lowerLimitChecked = chkLLimit_->isChecked();
}

void MarkerPanel::Repaint() {
  SyncState();
  if (host_.repaint) host_.repaint();
}

void MarkerPanel::Calculate(Canvas* target, std::span<const std::int16_t> counts) {
  SyncState();
  if (!host_.state) return;
  MarkerCalculate(target, counts, host_.state->settings, view_);
  const bool live = host_.state->markerSourceLive;
  for (int i = 0; i < kMarkers; ++i) {
    MarkerHandle* h = picMKR_[i];
    if (!h) continue;
    const HandleState& hs = view_.handles[i];
    // Handles follow the live trace only; a stored trace fills the table alone.
    if (hs.visible && live) {
      PlaceHandle(i, hs.x, hs.y);
      h->show();
    } else if (!h->Dragging()) {
      h->hide();
    }
  }
}

void MarkerPanel::CalculateStorage(Canvas& target, const std::string& indexText) {
  SyncState();
  if (!host_.state || host_.state->markerSourceLive || !host_.state->AnyMarkerEnabled()) return;
  const int slot = StoredSlotOf(indexText);
  if (slot < 1 || slot > kStoredTraceSlots) return;
  const RawTrace& trace = host_.state->storedTraces[slot - 1];
  if (trace.Valid()) Calculate(&target, trace.Points());
}

void MarkerPanel::HideHandles() {
  for (MarkerHandle* h : picMKR_) {
    if (h && !h->Dragging()) h->hide();
  }
}

void MarkerPanel::SetSelectedMarker(int index) {
  const int previous = selected_;
  selected_ = (index >= 0 && index < kMarkers) ? index : kNoMarker;
  const Rgb back = host_.state ? host_.state->backColor : kDefaultBackColor;
  if (previous != kNoMarker) MakeMarker(back, previous);
  MakeMarker(back, selected_);
}

bool MarkerPanel::StepSelectedMarker(int step) {
  if (selected_ == kNoMarker || !host_.state) return false;
  const auto text = StepMarker(host_.state->settings, view_.handles[selected_].x, step);
  if (!text) return false;
  txtMkr_[selected_]->setText(Q(*text));
  return true;
}

void MarkerPanel::MakeMarker(Rgb back, int which) {
  for (int i = 0; i < kMarkers; ++i) {
    if (!picMKR_[i] || (which != kNoMarker && which != i)) continue;
    picMKR_[i]->SetColors(back, i == selected_ ? kSelectedHandleColor : kHandleColor);
  }
}

QPointF MarkerPanel::ToPixel(double x, double y) const {
  if (host_.graphToPixel) return host_.graphToPixel(x, y);
  const bool anyMarker = host_.state && host_.state->AnyMarkerEnabled();
  return UserToPixel(GraphScale(anyMarker), pic1_->size(), x, y);
}

QPointF MarkerPanel::ToGraph(const QPointF& pixel) const {
  if (host_.pixelToGraph) return host_.pixelToGraph(pixel);
  const bool anyMarker = host_.state && host_.state->AnyMarkerEnabled();
  return PixelToUser(GraphScale(anyMarker), pic1_->size(), pixel);
}

void MarkerPanel::PlaceHandle(int index, double x, double y) {
  if (index < 0 || index >= kMarkers || !picMKR_[index] || !pic1_) return;
  if (!(x >= 0 && x <= kGraphRight && y >= 0 && y <= kGraphTop)) return;
  picMKR_[index]->MoveTipTo(ToPixel(x, y));
}

void MarkerPanel::DropHandle(int index, double x, double y) {
  if (index < 0 || index >= kMarkers || !host_.state) return;
  const int n = DropPoint(x);
  if (picMKR_[index]) picMKR_[index]->MoveTipTo(ToPixel(n, y));
  {
    // One repaint for the whole drop rather than one per text change.
    const QSignalBlocker block(txtMkr_[index]);
    txtMkr_[index]->setText(Q(MarkerFrequencyText(host_.state->settings, n)));
  }
  Repaint();
  if (pic1_) pic1_->setFocus();
  SetSelectedMarker(index);
}

void MarkerPanel::OnEnabledClicked(int i) {
  if (!chkMMkr_[i]->isChecked() && selected_ == i) SetSelectedMarker(kNoMarker);
  Repaint();
}

void MarkerPanel::AllToPeaks() {
  if (!host_.state) return;
  try {
    const std::vector<PeakPoint> peaks = FindPeaks(MarkerTracePoints(*host_.state));
    if (peaks.empty()) return;
    for (std::size_t i = 0; i < peaks.size() && i < static_cast<std::size_t>(kPeakMarkers); ++i) {
      txtMkr_[i]->setText(Q(FormatShortest(peaks[i].frequency)));
      chkMMkr_[i]->setChecked(true);
    }
    Repaint();
  } catch (const std::exception& error) {
    if (host_.notifier) ShowErrorBox(*host_.notifier, 0, error.what());
  }
}

void MarkerPanel::RefreshLimits() {
  if (!host_.transport || !host_.clock || !host_.notifier || !host_.state) return;
  SyncState();
  RefreshLimitLines(*host_.transport, *host_.clock, *host_.notifier, *host_.state, limits_,
                    host_.processEvents);
}

bool MarkerPanel::HigherChecked() const {
  return chkHLimit_->isChecked();
}
bool MarkerPanel::LowerChecked() const {
  return chkLLimit_->isChecked();
}

bool MarkerPanel::ValidateText(int i) { return CheckMarkerText(txtMkr_[i], host_.notifier); }

bool MarkerPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pic1_ && FocusLeavesForAControl(event)) {
    SetSelectedMarker(kNoMarker);
    return false;
  }
  for (int i = 0; i < kMarkers; ++i) {
    if (watched != txtMkr_[i]) continue;
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (PlainKey(key) && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && host_.state) {
        const int step = key->key() == Qt::Key_Up ? -1 : 1;
        const auto text = StepMarker(host_.state->settings, view_.handles[i].x, step);
        if (text) txtMkr_[i]->setText(Q(*text));
        return true;
      }
    } else if (FocusLeavesForAControl(event) && !RefusalGuard::Active()) {
      ValidateText(i);
    }
    return false;
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace vantrel
