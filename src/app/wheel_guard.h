#pragma once
// Lists and spinners act on a deliberate pick: a mouse wheel turned over one that does not
// have the keyboard focus (the pointer passing over a panel) changes nothing and so sends
// nothing to the analyzer. Once the user has clicked or tabbed into it, the wheel works.
class QWidget;

namespace vantrel {

void IgnoreWheelWithoutFocus(QWidget* control);

}  // namespace vantrel
