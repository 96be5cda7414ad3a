#pragma once
// frmSAV61, the 3 GHz analyzer's work window: graph Pic1, toolbar Toolbar1, and the
// panels floating over the graph (Setting, Control, the two marker panels). Owns the
// connection, the settings mirror, the traces and the panels for its lifetime.
#include <QRect>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/analyzer_links.h"
#include "app/toolbar_model.h"
#include "commands/analyzer_commands.h"
#include "display/display_state.h"
#include "emi/emi_graph.h"
#include "emi/emi_point.h"
#include "display/refresh_source.h"
#include "display/sweep_history.h"
#include "display/trace_refresh.h"
#include "link/command_transport.h"
#include "link/connection_setup.h"
#include "link/usb_hid.h"
#include "util/datetime.h"

class QAction;
class QImage;
class QPrinter;
class QGroupBox;
class QPushButton;
class QToolBar;

namespace vantrel {

class ControlPanel;
class EmiMarkerPanel;
class EmiResultsWindow;
class EmiPanel;
class RecordingController;
class RecordStore;
class GraphPicture;
class MarkerPanel;
class SettingPanel;
class WaterfallPicture;
class WaterfallSplitter;
class WindowSettingsStore;

enum class FormState { Normal, Maximized, Minimized };

class AnalyzerWindow : public QWidget {
  Q_OBJECT
 public:
  explicit AnalyzerWindow(AnalyzerLinks links, QWidget* parent = nullptr);
  ~AnalyzerWindow() override;

  // Toolbar actions and states.
  void DispatchToolbar(const QString& key);
  void ToggleConnection();
  void ApplyMode();
  void SetToolbarDisconnected();
  void SetToolbarConnected();
  void ToggleSettingPanel();
  void ToggleControlPanel();
  void LayoutSettingPanel();
  void LayoutMarkerPanel();
  void ClearDisplay(bool repaint);
  void ConfirmExit();
  // btnCapture: one refresh of traces and settings and a repaint (SA mode).
  void CaptureTrace();
  // btnDrawStored: the analyzer's memory trace named by Text1 onto the graph.
  void DrawStoredFromUnit();
  // Repaints the graph of the current mode from state.
  void DrawGrid();
  // The layout rules for the window state (the resize handler runs them).
  void FormResize(FormState state);
  FormState CurrentFormState() const;
  // Arrow-key step of the selected marker (-1 left, +1 right).
  void StepSelectedMarker(int step);

  ToolbarModel& Toolbar() { return toolbar_; }
  QAction* ToolbarAction(const QString& key) const;
  // The tool tip a toolbar button shows on hover: its text and its shortcut.
  static QString ShownToolTip(const QAction& action);
  ConnectionSetup& Setup() { return setup_; }
  CommandTransport& Transport() { return transport_; }
  EmiResultsWindow* ResultsWindow() const { return emiResults_; }
  DisplayState& Display() { return state_; }
  TraceRefresh& Refresh() { return refresh_; }
  ControlPanel& Control() { return *control_; }
  SettingPanel& Settings() { return *setting_; }
  MarkerPanel& Markers() { return *marker_; }
  EmiPanel& Emi() { return *emi_; }
  GraphPicture& Graph() { return *pic1_; }
  ConnectionKind SelectedKind() const;
  bool Identified() const { return setup_.identified; }
  int ConnectCount() const { return setup_.connectCount; }
  int RecordingLimitSeconds() const { return recordingLimitSeconds_; }
  DateTime RecordStartTime() const { return recordStartTime_; }
  double SamplingRate() const;
  bool EmiMode() const { return toolbar_["btnEMCMode"].down; }
  // GraphHome: Pic1's place in the normal window state, in twips.
  QRect GraphHome() const { return graphHome_; }
  double Dpi() const;

  // Opens the EMI step page (the main frame provides it).
  std::function<void()> showEmiSteps;
  // Opens the IO message window with the log (the main frame provides it).
  std::function<void()> showDebugWindow;
  // btnQuit confirmed: ends the program.
  std::function<void()> endProgram;
  // The open-file dialog of "Play back from PC"; empty when cancelled.
  std::function<QString()> chooseRecording;
  RecordingController& Recording() { return *recording_; }
  // The save dialog of "Save to PC" with its filter; empty when cancelled.
  std::function<QString(const QString& filter)> chooseSaveFile;
  // The print dialog; false when cancelled.
  std::function<bool(QPrinter&)> choosePrinter;
  // The open dialog and colour dialog of the EMI panel's wave text file.
  std::function<QString()> chooseWaveFile;
  std::function<std::optional<Rgb>(Rgb current)> chooseWaveColor;
  // cmdOpenStorage: a wave text file onto the EMI graph.
  void OpenWaveTextFile();
  const EmiTrace& StoredEmiTrace() const { return storedEmiTrace_; }
  // btnSave and btnPrint.
  void SaveToPc();
  void PrintView();
  // btnLive: the recording's acquisition loop without a file, until the button is up,
  // the link goes, EMI mode comes or a recording takes the loop over.
  void ToggleLive();
  bool LiveRunning() const { return liveRunning_; }
  // The sweeps of trace 1 the waterfall shows (Live, recording and playback fill it).
  const SweepHistory& History() const { return history_; }
  WaterfallPicture& Waterfall() { return *waterfall_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  // A click on a panel's own area brings that panel to the front.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildToolbar();
  void BuildPanels();
  void Load();
  void SyncToolbar();
  void SyncUsbList();
  void Connect();
  // `keepDisplay`: the link was lost, not given up; the last good picture stays.
  void Disconnect(bool keepDisplay = false);
  // The link reported its device gone: disconnected state, one message naming the link.
  void OnLinkLost();
  void ZeroTraces();
  void WireRecording();
  void WireOutput();
  void WireWaveText();
  void PaintStoredEmiTrace(Canvas& canvas);
  void PaintEmiGraph(Canvas& canvas);
  // The measurement as shown: through the ticked correction tables, with the graph's
  // marker points; the results table follows when the measurement or its view changed.
  void UpdateShownEmi();
  void WireEmiResults();
  QImage EmiReportPicture();
  void WireEmi();
  // Escape while Live runs: the button goes up and a running refresh ends. False when
  // Live was not running.
  bool StopLive();
  // The waterfall (analyzer_window_waterfall.cpp): built, laid under Pic1 when chosen,
  // fed with trace 1 after each good refresh or played record, and a picked row of a
  // played recording shown on the graph.
  void WireWaterfall();
  // Takes the lower part of Pic1's place when the waterfall is chosen (FormResize).
  void LayoutWaterfall();
  // Lays the window out again when the waterfall should appear or go (its check box,
  // the mode).
  void FollowWaterfallChoice();
  void AddSweepToWaterfall(std::uint64_t record);
  void ShowWaterfallRow(std::size_t age);
  // The graph and its marker handles drawn in these colours, as a picture.
  QImage PictureInColours(Rgb back, Rgb grid);
  void ArrangeSettingPanel();
  void PaintGraph(class Canvas& canvas);
  // The maximised graph's font factor, kept where its rows and columns stay apart.
  float GraphFontScale(float wanted) const;
  int Twips(double twips) const;
  bool Down(const char* key) const { return toolbar_[key].down; }

  // The settings files (none without AnalyzerLinks::settingsPath).
  void LoadGlobalFlags();
  void SaveGlobalFlags();
  void LoadSettings();
  void SaveSettings();

  AnalyzerLinks links_;
  UsbHid usb_;
  CommandTransport transport_;
  ConnectionSetup setup_;
  AnalyzerCommands commands_;
  AnalyzerRefreshSource source_;
  DisplayState state_;
  // The settings the graph was last drawn with (the header and the marker handles).
  AnalyzerSettings drawnSettings_;
  TraceRefresh refresh_;
  ToolbarModel toolbar_;
  std::unique_ptr<WindowSettingsStore> settingsStore_;
  std::unique_ptr<RecordStore> recordStore_;
  std::unique_ptr<RecordingController> recording_;
  bool settingsWritten_ = false;
  EmiTrace storedEmiTrace_{};     // filled from wave text files, kept between files
  bool storedEmiShown_ = false;   // drawn until the next repaint of the graph  // Exit wrote them; the close that follows does not again

  int recordingLimitSeconds_ = 0;
  DateTime recordStartTime_{};
  QRect graphHome_;  // twips
  bool emiDisplay_ = false;
  bool liveRunning_ = false;
  SweepHistory history_;
  WaterfallPicture* waterfall_ = nullptr;
  WaterfallSplitter* splitter_ = nullptr;

  QToolBar* toolbar1_ = nullptr;
  std::map<QString, QAction*> actions_;
  GraphPicture* pic1_ = nullptr;
  SettingPanel* setting_ = nullptr;
  ControlPanel* control_ = nullptr;
  MarkerPanel* marker_ = nullptr;
  EmiPanel* emi_ = nullptr;
  EmiMarkerPanel* fraEMCMarker_ = nullptr;
  // What the EMI graph was last drawn from, and what that drawing left (marker points,
  // marker readings and picture places).
  EmiGraphState emiGraph_;
  EmiResults shownEmi_;
  std::string shownEmiKey_;  // what the results table was last computed from
  EmiResultsWindow* emiResults_ = nullptr;
};

}  // namespace vantrel
