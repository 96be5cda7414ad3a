#include "app/emi_marker_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/focus_rules.h"
#include "app/marker_handles.h"
#include "app/user_scale_pixels.h"
#include "util/format.h"
#include "util/notifier.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

EmiMarkerPanel::EmiMarkerPanel(QWidget* pic1, EmiMarkerPanelHost host, QWidget* parent)
    : QGroupBox(QStringLiteral("Marker Function"), parent), pic1_(pic1), host_(std::move(host)) {
  setObjectName(QStringLiteral("fraEMCMarker"));
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("MKR"), this), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Freq.(MHz)"), this), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("MKR"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Freq.(MHz)"), this), 0, 3);
  for (int i = 0; i < kEmiMarkers; ++i) {
    chkEMCMMkr_[i] = new QCheckBox(QString::number(i), this);
    chkEMCMMkr_[i]->setObjectName(QStringLiteral("chkEMCMMkr_%1").arg(i));
    txtEMCMkr_[i] = new QLineEdit(QStringLiteral("0"), this);
    txtEMCMkr_[i]->setObjectName(QStringLiteral("txtEMCMkr_%1").arg(i));
    txtEMCMkr_[i]->installEventFilter(this);
    // Two columns of five, as in the table under the graph.
    const int row = i % 5 + 1, column = i < 5 ? 0 : 2;
    grid->addWidget(chkEMCMMkr_[i], row, column);
    grid->addWidget(txtEMCMkr_[i], row, column + 1);
    connect(chkEMCMMkr_[i], &QCheckBox::clicked, this, [this, i] { chkEMCMMkr_Click(i); });
    connect(txtEMCMkr_[i], &QLineEdit::textChanged, this, [this] { Repaint(); });
    if (pic1_) {
      picMKR_[i] = new MarkerHandle(i, pic1_);
      picMKR_[i]->setObjectName(host_.handleName.arg(i));
      picMKR_[i]->hide();
      picMKR_[i]->dropped = [this](int index, QPoint pixel) { DropHandle(index, pixel); };
      picMKR_[i]->droppedOnItself = [this](int index) {
        if (pic1_) pic1_->setFocus();
        SetSelectedMarker(index);
      };
    }
  }
  outer->addLayout(grid);
  cmdPeaks_ = new QPushButton(QStringLiteral("All to Peaks"), this);
  cmdPeaks_->setObjectName(QStringLiteral("cmdPeaks"));
  connect(cmdPeaks_, &QPushButton::clicked, this, [this] { AllToPeaks(); });
  outer->addWidget(cmdPeaks_);
  cmdResults_ = new QPushButton(QStringLiteral("Results..."), this);
  cmdResults_->setObjectName(QStringLiteral("cmdResults"));
  connect(cmdResults_, &QPushButton::clicked, this, &EmiMarkerPanel::resultsClicked);
  outer->addWidget(cmdResults_);
  cmdOK3_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOK3_->setObjectName(QStringLiteral("cmdOK3"));
  connect(cmdOK3_, &QPushButton::clicked, this, &EmiMarkerPanel::okClicked);
  outer->addWidget(cmdOK3_, 0, Qt::AlignRight);
  cmdResults_->setVisible(host_.windowButtons);
  cmdOK3_->setVisible(host_.windowButtons);
  MakeMarker(host_.backColor ? host_.backColor() : kDefaultBackColor);
}

EmiMarkerPanel::~EmiMarkerPanel() = default;

void EmiMarkerPanel::FillMarkers(EmiGraphState& st) const {
  for (int i = 0; i < kEmiMarkers; ++i) {
    st.markers[i].ticked = chkEMCMMkr_[i]->isChecked();
    st.markers[i].frequencyText = txtEMCMkr_[i]->text().toStdString();
  }
}

void EmiMarkerPanel::PlaceHandles(const EmiGraphState& st) {
  for (int i = 0; i < kEmiMarkers; ++i) {
    MarkerHandle* h = picMKR_[i];
    if (!h || h->Dragging()) continue;
    const HandleState& hs = st.handles[i];
    if (!hs.visible) {
      h->hide();
      continue;
    }
    if (hs.x >= 0 && hs.x <= kGraphRight && hs.y >= 0 && hs.y <= kGraphTop)
      h->MoveTipTo(ToPixel(hs.x, hs.y));
    h->show();
  }
}

void EmiMarkerPanel::HideHandles() {
  for (MarkerHandle* h : picMKR_) {
    if (h && !h->Dragging()) h->hide();
  }
}

void EmiMarkerPanel::chkEMCMMkr_Click(int index) {
  if (!chkEMCMMkr_[index]->isChecked() && selected_ == index) {
    SetSelectedMarker(kNoActiveMarker);
    if (picMKR_[index]) picMKR_[index]->hide();
  }
  Repaint();
}

void EmiMarkerPanel::AllToPeaks() {
  if (!host_.markerPoints) return;
  for (QCheckBox* box : chkEMCMMkr_) box->setChecked(false);
  const std::vector<EmiPoint> peaks = FindEmiPeaks(host_.markerPoints(), kEmiMarkers);
  if (!peaks.empty()) {
    for (std::size_t e = 0; e < peaks.size(); ++e) {
      const QSignalBlocker block(txtEMCMkr_[e]);  // one redraw for all of them
      txtEMCMkr_[e]->setText(Q(FormatShortest(peaks[e].frequency)));
      chkEMCMMkr_[e]->setChecked(true);
    }
  }
  Repaint();
}

void EmiMarkerPanel::ClearMarkers() {
  for (QCheckBox* box : chkEMCMMkr_) box->setChecked(false);
  SetSelectedMarker(kNoActiveMarker);
  HideHandles();
}

std::optional<std::string> EmiMarkerPanel::StepText(int index, int step) const {
  if (!picMKR_[index] || !host_.graph) return std::nullopt;
  // The column is the centre of the marker picture, as the user sees it.
  const MarkerHandle* h = picMKR_[index];
  const auto next = RoundHalfEven(ToGraph(QPointF(h->x() + h->width() / 2.0, 0)).x()) + step;
  if (next < 0 || next > static_cast<std::int64_t>(kGraphRight)) return std::nullopt;
  return EmiColumnFrequencyText(host_.graph(), static_cast<int>(next));
}

bool EmiMarkerPanel::StepSelectedMarker(int step) {
  if (selected_ == kNoActiveMarker) return false;
  const auto text = StepText(selected_, step);
  if (text) txtEMCMkr_[selected_]->setText(Q(*text));
  return text.has_value();
}

void EmiMarkerPanel::SetSelectedMarker(int index) {
  selected_ = (index >= 0 && index < kEmiMarkers) ? index : kNoActiveMarker;
  MakeMarker(host_.backColor ? host_.backColor() : kDefaultBackColor);
}

void EmiMarkerPanel::MakeMarker(Rgb back) {
  for (int i = 0; i < kEmiMarkers; ++i) {
    if (picMKR_[i]) picMKR_[i]->SetColors(back, i == selected_ ? kSelectedHandleColor : kHandleColor);
  }
}

bool EmiMarkerPanel::txtEMCMkr_Validate(int index) {
  return CheckMarkerText(txtEMCMkr_[index], host_.notifier, host_.checkFrequency);
}

void EmiMarkerPanel::DropHandle(int index, const QPoint& pixel) {
  if (!pic1_ || !host_.graph) return;
  if (!pic1_->rect().contains(pixel)) {
    Repaint();  // let go outside the graph: the picture goes back to its marker
    return;
  }
  const int column = DropPoint(ToGraph(QPointF(pixel)).x());
  {
    const QSignalBlocker block(txtEMCMkr_[index]);
    txtEMCMkr_[index]->setText(Q(EmiColumnFrequencyText(host_.graph(), column)));
  }
  Repaint();
  pic1_->setFocus();
  SetSelectedMarker(index);
}

UserScale EmiMarkerPanel::Scale() const {
  return host_.graph ? EmiGraphScale(host_.graph()) : GraphScale(false);
}

QPointF EmiMarkerPanel::ToPixel(double x, double y) const {
  return UserToPixel(Scale(), pic1_->size(), x, y);
}

QPointF EmiMarkerPanel::ToGraph(const QPointF& pixel) const {
  return PixelToUser(Scale(), pic1_->size(), pixel);
}

void EmiMarkerPanel::Repaint() {
  if (host_.repaint) host_.repaint();
}

bool EmiMarkerPanel::eventFilter(QObject* watched, QEvent* event) {
  for (int i = 0; i < kEmiMarkers; ++i) {
    if (watched != txtEMCMkr_[i]) continue;
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (PlainKey(key) && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        const auto text = StepText(i, key->key() == Qt::Key_Up ? -1 : 1);
        if (text) txtEMCMkr_[i]->setText(Q(*text));
        return true;
      }
    } else if (FocusLeavesForAControl(event) && !RefusalGuard::Active()) {
      txtEMCMkr_Validate(i);
    }
    return false;
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace vantrel
