#pragma once
// The toolbar's image list, drawn in code: index 1 to kImageCount.
#include <QIcon>

namespace vantrel {

QIcon ToolbarImage(int index);

}  // namespace vantrel
