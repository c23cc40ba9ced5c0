#pragma once

#include <QString>

namespace DocumentsFolder {

// The user's documents folder, without a trailing separator. A folder that
// does not exist yet is created (new accounts often lack it); where none can
// be determined the home folder stands in.
QString Path();

// The path of a file in the documents folder.
QString FilePath(const QString &fileName);

} // namespace DocumentsFolder
