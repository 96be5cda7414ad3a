#pragma once
// The limit standard files as the program finds them: the shipped "standard" folder
// beside the program (or the installed package's data folder), then the user's own
// "standard" folder in the per-user data folder, whose files replace shipped files of
// the same name. Listed in file-name order.
#include <QStringList>
#include <vector>

#include "emi/standard_list.h"

namespace vantrel {

// The folders searched, shipped ones first.
QStringList StandardFolders();
// The same for a data folder of another name ("corrections").
QStringList DataFolders(const QString& name);
// The paths of the files matching `pattern` in the folders; a later folder's file replaces
// an earlier one's of the same name. In file-name order.
QStringList FilesInFolders(const QStringList& folders, const QString& pattern);

// One file, at most kMaxStandardBytes + 1 bytes of it.
StandardFile ReadStandardFile(const QString& path);

// Every "*.txt" file of the folders, at most kMaxStandardBytes + 1 bytes of each.
std::vector<StandardFile> ReadStandardFolders(const QStringList& folders);

}  // namespace vantrel
