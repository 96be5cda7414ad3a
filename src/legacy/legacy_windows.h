#pragma once
// The 2.7 GHz model's EMI windows. For now they are empty frames with their captions,
// so the main frame's mode switching can open and close them; their controls, link and
// drawing are still to be built (the spectrum window frmMain lives in app/).
#include <QWidget>

namespace vantrel {

// `frmEScr`, the 2.7 GHz EMI display window.
QWidget* CreateLegacyEmiDisplayWindow(QWidget* parent = nullptr);
// `frmControl`, the 2.7 GHz EMI control panel.
QWidget* CreateLegacyEmiControlWindow(QWidget* parent = nullptr);

}  // namespace vantrel
