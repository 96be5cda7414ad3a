#include "app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QKeySequence>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>

#include "app/analyzer_window.h"
#include "app/debug_window.h"
#include "app/help_windows.h"
#include "app/process_globals.h"
#include "app/sa27_window.h"
#include "app/sp3_to_text_window.h"
#include "app/splash_window.h"
#include "app/twips.h"
#include "app/sa27_emi_control.h"
#include "app/sa27_emi_display.h"
#include "platform/font_check.h"
#include "platform/qt_clock.h"
#include "platform/qt_notifier.h"

namespace vantrel {

QString MainFrameCaption(int major, int minor, int patch) {
  return QStringLiteral("Vantrel (Ver.%1.%2.%3)").arg(major).arg(minor).arg(patch);
}

MainFrame::MainFrame(AnalyzerLinksFactory linksFactory, Clock* clock, Notifier* notifier)
    : linksFactory_(std::move(linksFactory)) {
  setObjectName(QStringLiteral("mdiMain"));
  area_ = new QMdiArea(this);
  area_->setObjectName(QStringLiteral("mdiArea"));
  // A page opened beside a maximised window (the EMI step page, the IO message window)
  // leaves that window maximised and opens at its own size.
  area_->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
  setCentralWidget(area_);

  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  panel1_ = new QLabel(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  statusBar()->addWidget(panel1_, 1);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("barProgress"));
  progress_->setMaximumWidth(220);
  progress_->setTextVisible(false);
  progress_->hide();
  statusBar()->addPermanentWidget(progress_);

  if (clock == nullptr) {
    ownClock_ = std::make_unique<QtClock>();
    clock = ownClock_.get();
  }
  if (notifier == nullptr) {
    ownNotifier_ = std::make_unique<QtNotifier>(this, panel1_, progress_);
    notifier = ownNotifier_.get();
  }
  clock_ = clock;
  notifier_ = notifier;
  quitNow = [] { QCoreApplication::exit(0); };

  BuildMenus();

  area_->viewport()->installEventFilter(this);

  // Frame load. Where no window manager maximises the frame, it still covers the screen.
  if (const QScreen* shown = screen()) setGeometry(shown->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  setWindowTitle(
      MainFrameCaption(VANTREL_VERSION_MAJOR, VANTREL_VERSION_MINOR, VANTREL_VERSION_PATCH));
  ComPortNumber = 1;
  EnsureArialFont(QCoreApplication::applicationDirPath());
  ShowAnalyzer();
  modeItems_[0]->setChecked(true);
}

MainFrame::~MainFrame() {
  // Children go before the clock and notifier they hold references to.
  area_->viewport()->removeEventFilter(this);
  // Null first: windows that close each other on the way out find nothing to do.
  QMdiArea* area = area_;
  area_ = nullptr;
  delete area;
}

void MainFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  QAction* quit = file->addAction(QStringLiteral("&Quit"));
  quit->setObjectName(QStringLiteral("mnuQuit"));
  connect(quit, &QAction::triggered, this, [this] {
    // Ends at once: no window's unload handling runs, so nothing is saved.
    if (quitNow) quitNow();
  });

  QMenu* mode = menuBar()->addMenu(QStringLiteral("&Mode"));
  mode->setObjectName(QStringLiteral("mnuMode"));
  const char* captions[] = {"3GHz SA", "2.7GHz SA", "2.7GHz SA for EMI"};
  const InstrumentMode modes[] = {InstrumentMode::Sa3GHz, InstrumentMode::Sa27GHz,
                                  InstrumentMode::Emi27GHz};
  for (int i = 0; i < 3; ++i) {
    QAction* item = mode->addAction(QString::fromLatin1(captions[i]));
    item->setObjectName(QString::fromLatin1(kModeMenuItems[static_cast<std::size_t>(i)]));
    item->setCheckable(true);
    const InstrumentMode target = modes[i];
    connect(item, &QAction::triggered, this, [this, target] { SwitchMode(target); });
    modeItems_[i] = item;
  }

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools->setObjectName(QStringLiteral("mnuTools"));
  QAction* sp3 = tools->addAction(QStringLiteral("SP3->Text"));
  sp3->setObjectName(QStringLiteral("mnuSP3ToText"));
  connect(sp3, &QAction::triggered, this, [this] {
    auto* converter = new Sp3ToTextWindow(*notifier_, this);
    converter->show();
  });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  QAction* guide = help->addAction(QStringLiteral("User Guide"));
  guide->setObjectName(QStringLiteral("mnuUserGuide"));
  guide->setShortcut(QKeySequence::HelpContents);
  connect(guide, &QAction::triggered, this, [this] { ShowUserGuide(this); });
  QAction* about = help->addAction(QStringLiteral("&About"));
  about->setObjectName(QStringLiteral("mnuAbout"));
  connect(about, &QAction::triggered, this, [this] {
    ShowAbout(this, QStringLiteral("%1.%2.%3")
                        .arg(VANTREL_VERSION_MAJOR)
                        .arg(VANTREL_VERSION_MINOR)
                        .arg(VANTREL_VERSION_PATCH));
  });
}

double MainFrame::Dpi() const {
  const QScreen* screen = this->screen();
  return screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
}

void MainFrame::MoveTwips(QWidget* window, double leftTwips, double topTwips) {
  window->move(TwipsToPixels(leftTwips, Dpi()), TwipsToPixels(topTwips, Dpi()));
}

QMdiSubWindow* MainFrame::AddChild(QWidget* window) {
  // The windows lay themselves out by hand, so the frame takes their designed size
  // rather than a layout's (empty) size hint.
  const QSize designed = window->size();
  QMdiSubWindow* sub = area_->addSubWindow(window);
  // The frame's title bar and borders come on top of the designed size: measure them
  // once the frame has laid out its window.
  sub->resize(designed);
  if (sub->layout() != nullptr) sub->layout()->activate();
  sub->resize(designed + (designed - window->size()).expandedTo(QSize(0, 0)));
  window->resize(designed);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setObjectName(window->objectName() + QStringLiteral("Frame"));
  return sub;
}

AnalyzerWindow* MainFrame::Analyzer() const {
  return frmSAV61_ ? qobject_cast<AnalyzerWindow*>(frmSAV61_->widget()) : nullptr;
}

AnalyzerLinks MainFrame::Links() {
  AnalyzerLinks links = linksFactory_(*clock_, *notifier_);
  links.sharedEmi = sharedEmi_;
  return links;
}

void MainFrame::ShowAnalyzer() {
  if (!frmSAV61_) {
    auto* window = new AnalyzerWindow(Links());
    window->showEmiSteps = [this] { ShowEmiSteps(); };
    window->showDebugWindow = [this] { ShowDebugWindow(); };
    window->endProgram = [this] { close(); };
    frmSAV61_ = AddChild(window);
    analyzerDesigned_ = frmSAV61_->size();
  }
  frmSAV61_->show();
  FitAnalyzer();
  const Qt::WindowStates state = frmSAV61_->windowState();
  if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized))) MoveTwips(frmSAV61_, 0, 0);
}

void MainFrame::FitAnalyzer() {
  // Before the frame shows, its area has no size of its own yet.
  if (!frmSAV61_ || !area_->viewport()->isVisible() ||
      frmSAV61_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
    return;
  }
  const QSize fitted = analyzerDesigned_.boundedTo(area_->viewport()->size());
  if (fitted != frmSAV61_->size()) frmSAV61_->resize(fitted);
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (area_ != nullptr && watched == area_->viewport() &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
    FitAnalyzer();
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainFrame::Unload(QPointer<QMdiSubWindow>& window) {
  if (!window || !area_) return;
  QMdiSubWindow* sub = window;
  window = nullptr;
  area_->removeSubWindow(sub);
  sub->close();  // runs the window's own close handling, then deletes it
}

void MainFrame::SwitchMode(InstrumentMode mode) {
  const ModeWindows keep = WindowsOfMode(mode);
  // frmControl takes frmEScr with it.
  if (!keep.frmControl) {
    Unload(frmControl_);
    Unload(frmEScr_);
  }
  if (!keep.frmMain) Unload(frmMain_);
  if (!keep.frmSAV61) Unload(frmSAV61_);

  if (keep.frmSAV61) ShowAnalyzer();
  if (keep.frmMain) {
    if (!frmMain_) frmMain_ = AddChild(new Sa27Window(Links()));
    frmMain_->show();
    MoveTwips(frmMain_, 0, 0);
  }
  if (keep.frmEScr) {
    if (!frmEScr_) frmEScr_ = AddChild(new Sa27EmiDisplay());
    frmEScr_->show();
    MoveTwips(frmEScr_, 0, 0);
  }
  if (keep.frmControl) {
    if (!frmControl_) {
      auto* display = frmEScr_ ? qobject_cast<Sa27EmiDisplay*>(frmEScr_->widget()) : nullptr;
      frmControl_ = AddChild(new Sa27EmiControl(Links(), display));
      // The two are one mode: closing either closes the other.
      connect(frmControl_, &QObject::destroyed, this, [this] { Unload(frmEScr_); });
      if (frmEScr_) connect(frmEScr_, &QObject::destroyed, this, [this] { Unload(frmControl_); });
    }
    frmControl_->show();
    frmControl_->move(frmEScr_ ? frmEScr_->width() : 0, 0);
  }
  mode_ = mode;
  for (int i = 0; i < 3; ++i) {
    modeItems_[i]->setChecked(static_cast<int>(mode) == i);
  }
}

QWidget* MainFrame::ShowEmiSteps() {
  if (!frmSplash_) frmSplash_ = AddChild(new SplashWindow());
  frmSplash_->show();
  frmSplash_->adjustSize();
  MoveTwips(frmSplash_, 600, 0);
  frmSplash_->raise();
  return frmSplash_->widget();
}

DebugWindow* MainFrame::ShowDebugWindow() {
  if (!frmDebug_) frmDebug_ = AddChild(new DebugWindow());
  const double dpi = Dpi();
  frmDebug_->setGeometry(TwipsToPixels(0, dpi), TwipsToPixels(7680, dpi), TwipsToPixels(12135, dpi),
                         TwipsToPixels(4830, dpi));
  frmDebug_->show();
  auto* window = qobject_cast<DebugWindow*>(frmDebug_->widget());
  window->ShowLog();
  return window;
}

void MainFrame::closeEvent(QCloseEvent* event) {
  area_->closeAllSubWindows();
  if (!area_->subWindowList().isEmpty()) {
    event->ignore();  // a child refused to close
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace vantrel
