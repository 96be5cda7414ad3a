#pragma once
// mdiMain, the startup window and parent of every other window: menus, status bar,
// and the switch between the 3 GHz, 2.7 GHz and 2.7 GHz EMI modes.
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "app/analyzer_links.h"
#include "app/mode_rules.h"

class QAction;
class QLabel;
class QProgressBar;
class QMdiArea;
class QMdiSubWindow;

namespace vantrel {

class AnalyzerWindow;
class DebugWindow;

// "Vantrel (Ver.<major>.<minor>.<patch>)".
QString MainFrameCaption(int major, int minor, int patch);

class MainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // `clock` and `notifier` may be null: the frame then uses the Qt ones of its own.
  explicit MainFrame(AnalyzerLinksFactory linksFactory = MakeProductionLinks,
                     Clock* clock = nullptr, Notifier* notifier = nullptr);
  ~MainFrame() override;

  void SwitchMode(InstrumentMode mode);
  InstrumentMode Mode() const { return mode_; }

  QMdiArea* Area() const { return area_; }
  QLabel* StatusPanel1() const { return panel1_; }
  Notifier& FrameNotifier() { return *notifier_; }
  // The open analyzer window, or null.
  AnalyzerWindow* Analyzer() const;
  // Opens the EMI step page (at left 600, top 0 twips).
  QWidget* ShowEmiSteps();
  // Opens the IO message window at its place and shows the log.
  DebugWindow* ShowDebugWindow();
  // Replaces "end the program at once" (File > Quit) for tests.
  std::function<void()> quitNow;

 protected:
  // Closing the frame unloads its child windows, each with its own close handling.
  void closeEvent(QCloseEvent* event) override;
  // A resize of the MDI area's viewport refits the analyzer window.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  QMdiSubWindow* AddChild(QWidget* window);
  void ShowAnalyzer();
  // The analyzer window in its normal state: its designed size, but no larger than the
  // MDI area, so none of it lies out of sight; it grows back as the area grows.
  void FitAnalyzer();
  void Unload(QPointer<QMdiSubWindow>& window);
  // A window's devices, with the EMI data the analyzer windows share.
  AnalyzerLinks Links();
  void MoveTwips(QWidget* window, double leftTwips, double topTwips);
  double Dpi() const;

  AnalyzerLinksFactory linksFactory_;
  std::shared_ptr<SharedEmi> sharedEmi_ = std::make_shared<SharedEmi>();
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<Notifier> ownNotifier_;
  Clock* clock_ = nullptr;
  Notifier* notifier_ = nullptr;
  QMdiArea* area_ = nullptr;
  QLabel* panel1_ = nullptr;
  QProgressBar* progress_ = nullptr;  // beside panel 1 during long work
  QAction* modeItems_[3] = {};
  InstrumentMode mode_ = InstrumentMode::Sa3GHz;

  QPointer<QMdiSubWindow> frmSAV61_;
  QSize analyzerDesigned_;
  QPointer<QMdiSubWindow> frmMain_;
  QPointer<QMdiSubWindow> frmEScr_;
  QPointer<QMdiSubWindow> frmControl_;
  QPointer<QMdiSubWindow> frmSplash_;
  QPointer<QMdiSubWindow> frmDebug_;
};

}  // namespace vantrel
