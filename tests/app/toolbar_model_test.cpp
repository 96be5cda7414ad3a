#include "app/toolbar_model.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantrel {
namespace {

TEST(ToolbarModel, DisconnectedStateLeavesOnlyConnectSettingModeAndExit) {
  ToolbarModel toolbar;
  for (const ToolbarButton& b : toolbar.Buttons()) {
    // every key starts enabled, so the rule has something to switch off
    EXPECT_TRUE(b.enabled) << b.key;
  }
  toolbar.SetDisconnected();
  for (const ToolbarButton& b : toolbar.Buttons()) {
    const bool expected = b.key == "btnOpenCOM" || b.key == "btnQuit" || b.key == "btnSetting" ||
                          b.key == "btnEMCMode";
    EXPECT_EQ(b.enabled, expected) << b.key;
  }
  // A key switched off stays off; btnEMCMode and btnSetting keep whatever they had.
  toolbar["btnEMCMode"].enabled = false;
  toolbar.SetDisconnected();
  EXPECT_FALSE(toolbar["btnEMCMode"].enabled);
  EXPECT_TRUE(toolbar["btnOpenCOM"].enabled);
}

TEST(ToolbarModel, ConnectedStateDependsOnEmiMode) {
  ToolbarModel toolbar;
  toolbar.SetDisconnected();
  toolbar.SetConnected();
  for (const ToolbarButton& b : toolbar.Buttons()) EXPECT_TRUE(b.enabled) << b.key;

  toolbar["btnEMCMode"].down = true;
  toolbar["btnControl"].down = true;
  toolbar.SetDisconnected();
  toolbar.SetConnected();
  for (const char* key : {"btnGetLimit", "btnGetTrace", "btnDrawPCStored", "btnControl"}) {
    EXPECT_FALSE(toolbar[key].enabled) << key;
  }
  EXPECT_FALSE(toolbar["btnControl"].down);
  EXPECT_TRUE(toolbar["btnCapture"].enabled);
}

TEST(ToolbarModel, ModeButtonsFollowEmiModeAndConnection) {
  ToolbarModel toolbar;
  toolbar["btnOpenCOM"].down = true;
  toolbar.SetConnected();
  toolbar["btnControl"].down = true;

  toolbar["btnEMCMode"].down = true;
  toolbar.ApplyModeButtons();
  EXPECT_EQ(toolbar["btnEMCMode"].toolTip, "SA Mode");
  EXPECT_EQ(toolbar["btnEMCMode"].image, kImageEmiMode);
  EXPECT_FALSE(toolbar["btnControl"].down);
  EXPECT_FALSE(toolbar["btnControl"].enabled);
  EXPECT_FALSE(toolbar["btnGetLimit"].enabled);
  EXPECT_FALSE(toolbar["btnGetTrace"].enabled);
  EXPECT_FALSE(toolbar["btnDrawPCStored"].enabled);

  toolbar["btnEMCMode"].down = false;
  toolbar.ApplyModeButtons();
  EXPECT_EQ(toolbar["btnEMCMode"].toolTip, "EMI Mode");
  EXPECT_EQ(toolbar["btnEMCMode"].image, kImageSaMode);
  EXPECT_TRUE(toolbar["btnGetTrace"].enabled);
  EXPECT_TRUE(toolbar["btnControl"].enabled);
  EXPECT_TRUE(toolbar["btnDrawPCStored"].enabled);

  // Back to SA mode while disconnected: only playback comes back.
  toolbar["btnOpenCOM"].down = false;
  toolbar.SetDisconnected();
  toolbar.ApplyModeButtons();
  EXPECT_FALSE(toolbar["btnGetTrace"].enabled);
  EXPECT_FALSE(toolbar["btnControl"].enabled);
  EXPECT_TRUE(toolbar["btnDrawPCStored"].enabled);
}

TEST(ToolbarModel, LiveKeepsRecordingAndItsOwnButtonUsableAndIsOffInEmiMode) {
  ToolbarModel toolbar;
  toolbar["btnOpenCOM"].down = true;
  toolbar.SetConnected();
  toolbar.SetLive(true);
  for (const ToolbarButton& b : toolbar.Buttons()) {
    const bool off = b.key == "btnEMCMode" || b.key == "btnCapture" || b.key == "btnClear" ||
                     b.key == "btnDrawStored" || b.key == "btnGetLimit" ||
                     b.key == "btnDrawPCStored";
    EXPECT_EQ(b.enabled, !off) << b.key;
  }
  toolbar.SetLive(false);
  for (const ToolbarButton& b : toolbar.Buttons()) EXPECT_TRUE(b.enabled) << b.key;

  // Recording runs its own loop; Live waits for it, as it does for a capture.
  toolbar.SetAcquiring(true);
  EXPECT_FALSE(toolbar["btnLive"].enabled);
  toolbar.SetAcquiring(false);
  toolbar.SetWorking();
  EXPECT_FALSE(toolbar["btnLive"].enabled);

  toolbar["btnEMCMode"].down = true;
  toolbar.ApplyModeButtons();
  EXPECT_FALSE(toolbar["btnLive"].enabled);
  toolbar["btnEMCMode"].down = false;
  toolbar.ApplyModeButtons();
  EXPECT_TRUE(toolbar["btnLive"].enabled);
}

TEST(ToolbarModel, KeysAreFoundInAnyLetterCaseAndUnknownKeysThrow) {
  ToolbarModel toolbar;
  EXPECT_EQ(&toolbar["btnopencom"], &toolbar["btnOpenCOM"]);
  EXPECT_EQ(&toolbar["BTNEMCMODE"], &toolbar["btnEMCMode"]);
  EXPECT_THROW(toolbar["btnNothing"], std::out_of_range);
}

}  // namespace
}  // namespace vantrel
