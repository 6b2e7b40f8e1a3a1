#include "app/CommandLine.h"

#include "resources/Dialogs.h"

namespace kivo {

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    QStringList files;
    bool options = true;
    for (const QString &argument : arguments) {
        if (options && argument == u"--") {
            options = false;
        } else if (options && argument == u"--compare") {
            line.compare = true;
        } else if (options && (argument == u"--help" || argument == u"-h")) {
            line.help = true;
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            line.error = QString::fromUtf8(res::kUnknownOption) + argument;
            line.unknownOption = true;
            return line;
        } else {
            files.append(argument);
        }
    }
    if (files.size() > 2)
        line.error = QString::fromUtf8(res::kTooManyFiles);
    else if (line.compare && files.size() != 2)
        line.error = QString::fromUtf8(res::kCompareNeedsTwoFiles);
    if (!line.error.isEmpty())
        return line;
    if (!files.isEmpty())
        line.left = files[0];
    if (files.size() == 2)
        line.right = files[1];
    return line;
}

QString CommandLineUsage()
{
    return QString::fromUtf8(res::kCommandLineUsage);
}

} // namespace kivo
