// The analyzer window's waterfall: the sweep history under the graph, its place, what
// feeds it, and a picked row of a played recording back on the graph.
#include <QCheckBox>
#include <QComboBox>
#include <algorithm>

#include "app/analyzer_window.h"
#include "app/graph_picture.h"
#include "app/recording_controller.h"
#include "app/setting_panel.h"
#include "app/waterfall_picture.h"
#include "app/waterfall_splitter.h"
#include "files/sp3_file.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

// The waterfall's share of the graph's place when shown, until the user drags the bar.
constexpr int kWaterfallShare = 3;  // one third
// A chosen height keeps the graph at least a quarter of the place and the waterfall a
// few rows' worth.
constexpr int kLeastWaterfallHeight = 24;
constexpr std::size_t kMostWaterfallRows = 10000;

}  // namespace

void AnalyzerWindow::WireWaterfall() {
  waterfall_ = new WaterfallPicture(history_, this);
  waterfall_->stackUnder(pic1_);  // the floating panels stay above it
  waterfall_->hide();
  splitter_ = new WaterfallSplitter(this);
  splitter_->stackUnder(pic1_);
  splitter_->hide();
  splitter_->shownHeight = [this] { return waterfall_->height(); };
  splitter_->heightChanged = [this] {
    if (!waterfall_->isHidden()) FormResize(CurrentFormState());
  };
  // The colours follow the range the graph was last drawn with.
  waterfall_->refLevel = [this] { return static_cast<double>(drawnSettings_.RefLevel); };
  waterfall_->scale = [this] { return static_cast<double>(drawnSettings_.Scale); };
  waterfall_->rowPicked = [this](std::size_t age) { ShowWaterfallRow(age); };
  connect(setting_->chkWaterfall, &QCheckBox::toggled, this, [this] { FollowWaterfallChoice(); });
  connect(setting_->cboWaterfallRows, &QComboBox::currentTextChanged, this,
          [this](const QString& text) {
            // Text that is not a number of rows keeps the rows there are.
            const std::string typed = text.toStdString();
            if (!IsNumeric(typed)) return;
            const std::int64_t rows = RoundHalfEven(NumericValue(typed));
            if (rows < 1) return;
            history_.SetCapacity(std::min(static_cast<std::size_t>(rows), kMostWaterfallRows));
            waterfall_->update();
          });
}

void AnalyzerWindow::FollowWaterfallChoice() {
  const bool wanted = setting_->chkWaterfall->isChecked() && !emiDisplay_;
  if (!waterfall_->isHidden() != wanted) FormResize(CurrentFormState());
}

void AnalyzerWindow::LayoutWaterfall() {
  const bool shown = setting_->chkWaterfall->isChecked() && !emiDisplay_;
  if (!shown) {
    waterfall_->hide();
    splitter_->hide();
    return;
  }
  const QRect place = pic1_->geometry();
  const int room = place.height() - WaterfallSplitter::kThickness;
  const int most = room * 3 / 4;
  const int chosen = splitter_->WaterfallHeight();
  const int height = chosen > 0 ? std::clamp(chosen, std::min(kLeastWaterfallHeight, most), most)
                                : place.height() / kWaterfallShare;
  // Same left and width as the graph, so each point stays under its column.
  pic1_->setGeometry(place.adjusted(0, 0, 0, -(height + WaterfallSplitter::kThickness)));
  splitter_->setGeometry(place.left(), pic1_->geometry().bottom() + 1, place.width(),
                         WaterfallSplitter::kThickness);
  waterfall_->setGeometry(place.left(), place.bottom() + 1 - height, place.width(), height);
  splitter_->show();
  waterfall_->show();
}

void AnalyzerWindow::AddSweepToWaterfall(std::uint64_t record) {
  const RawTrace& trace = state_.liveTraces[0];
  if (!trace.Valid()) return;
  history_.Add(trace.Points(), state_.settings.RefLevel, state_.dbPerCount, record,
               {state_.settings.FreqStart, state_.settings.FreqStop});
  if (!waterfall_->isHidden()) waterfall_->update();
}

void AnalyzerWindow::ShowWaterfallRow(std::size_t age) {
  if (liveRunning_ || Down("btnGetTrace")) return;  // the loop draws the graph
  const std::uint64_t record = history_.Row(age).record;
  const std::string& path = recording_->LastPlayedPath();
  if (record == 0 || path.empty()) return;
  // A pick during playback ends it there, so the picked record stays on the graph.
  if (Down("btnDrawPCStored")) {
    toolbar_["btnDrawPCStored"].down = false;
    SyncToolbar();
  }
  std::string error;
  const std::optional<Sp3Record> picked = ReadSp3Record(*recordStore_, path, record, error);
  if (!picked) {
    links_.notifier.SetStatus(error);
    return;
  }
  ApplySp3Record(*picked, state_.liveTraces, state_.settings);
  DrawGrid();
}

}  // namespace vantrel
