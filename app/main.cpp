#include "app/RichApp.h"

#include <QApplication>

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

/// Answers --help and arguments Kivo cannot use on the terminal and returns the exit status;
/// nullopt when the windows are to start.
std::optional<int> AnswerOnTerminal(const kivo::CommandLine &line)
{
    if (line.help) {
        std::fputs(kivo::CommandLineUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "kivo: %s\n%s", line.error.toLocal8Bit().constData(),
                     kivo::CommandLineUsage().toLocal8Bit().constData());
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    // Help and arguments that are wrong whatever the window system are answered before it is
    // reached, so that they work without a display too. An option Kivo does not know may be the
    // window system's own: such a command line is read again once it has taken its options out.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    if (const kivo::CommandLine early = kivo::ParseCommandLine(raw);
        early.help || !early.unknownOption) {
        if (const std::optional<int> status = AnswerOnTerminal(early))
            return *status;
    }

    QApplication qtApp(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (const std::optional<int> status = AnswerOnTerminal(kivo::ParseCommandLine(arguments)))
        return *status;
    kivo::CRichApp app(arguments);
    app.CloseOnTerminateSignal();
    const int code = app.Run();
    if (app.Terminating()) {
        // Ended by SIGTERM or SIGINT with the settings written: taking the windows and their
        // texts apart one by one would only make the end late.
        std::fflush(nullptr);
        ::_exit(code);
    }
    return code;
}
