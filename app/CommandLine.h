#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

/// What Kivo's command line asks for: the files for the left and the right window, and whether
/// to compare them at once; error says what is wrong with arguments that are not understood.
struct CommandLine {
    QString left;
    QString right;
    bool compare = false;
    bool help = false;
    QString error;
    /// The error is an option Kivo does not know: it may be the window system's own (-platform,
    /// --style), which the window system takes out before Kivo reads its command line.
    bool unknownOption = false;
};

/// Reads the command line without the program name. "--" ends the options; "--help" and "-h"
/// ask for the usage; at most two files, and exactly two with "--compare".
CommandLine ParseCommandLine(const QStringList &arguments);
/// The command line's usage text.
QString CommandLineUsage();

} // namespace kivo
