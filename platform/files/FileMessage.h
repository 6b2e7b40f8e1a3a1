#pragma once

#include "platform/files/AtomicFile.h"

#include <QString>

namespace kivo {

/// What was done with a file that failed.
enum class FileAction { Open, Save };

/// The sentence that tells the user why a file could not be read or written.
QString FileReasonText(const FileError &error);

/// The message of a file that could not be opened or saved: which file failed, why, and what is
/// safe. After an open the window's text is unchanged; after a save also the old file, or, when
/// there was none at path, no file was made.
QString FileErrorMessage(FileAction action, const QString &path, const FileError &error);

} // namespace kivo
