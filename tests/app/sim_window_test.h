#pragma once
// The analyzer window on the simulated analyzer in process and the virtual clock, its
// recordings kept in memory: the rig of the window tests that drive whole features.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "app/process_globals.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_serial_port.h"
#include "support/memory_record_store.h"

namespace vantrel::testing {

class SimWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DontShowEMISteps = 1;
    ComPortNumber = 1;
    model = std::make_unique<sim::AnalyzerModel>(clock);
    auto serial = std::make_unique<sim::SimSerialPort>(clock, *model);
    port = serial.get();
    auto records = std::make_unique<MemoryRecordStore>();
    store = records.get();
    AnalyzerLinks links{clock, notifier, std::move(serial), std::make_unique<FakeGpib>(false),
                        std::make_unique<NoHidDevices>()};
    links.records = std::move(records);
    Adjust(links);
    window = std::make_unique<AnalyzerWindow>(std::move(links));
  }
  // A suite's own changes to the links and the simulated analyzer before the window opens.
  virtual void Adjust(AnalyzerLinks&) {}
  void TearDown() override {
    clock.onEvents = nullptr;
    window.reset();
    DontShowEMISteps = 0;
    ClosingFlag = false;
  }
  QAction* Key(const char* key) { return window->ToolbarAction(QString::fromLatin1(key)); }
  template <typename T>
  T* Find(const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  // Picks an entry of a list as the user does, so that its handler runs.
  void Pick(const char* list, const char* text) {
    QComboBox* box = Find<QComboBox>(list);
    const int index = box->findText(QString::fromLatin1(text));
    ASSERT_GE(index, 0) << text;
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  // Connected, in EMI mode, with the Setting panel open.
  void EmiModeWithSettings() {
    Key("btnOpenCOM")->trigger();
    ASSERT_TRUE(window->Identified());
    Key("btnEMCMode")->trigger();
    Key("btnSetting")->trigger();
    ASSERT_TRUE(window->EmiMode());
  }

  VirtualClock clock;
  RecordingNotifier notifier;
  std::unique_ptr<sim::AnalyzerModel> model;
  sim::SimSerialPort* port = nullptr;
  MemoryRecordStore* store = nullptr;
  std::unique_ptr<AnalyzerWindow> window;
};

}  // namespace vantrel::testing
