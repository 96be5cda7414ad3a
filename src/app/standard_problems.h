#pragma once
// The line under a standard list that names what is wrong with the standard files: the
// first problem, how many more, and all of them in its tool tip; hidden when there are none.
#include <QLabel>
#include <vector>

#include "emi/standard_list.h"

namespace vantrel {

void ShowStandardProblems(QLabel* label, const std::vector<FileProblems>& problems);

}  // namespace vantrel
