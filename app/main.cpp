#include "app/RichApp.h"

#include <QApplication>

#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const kivo::CRichApp::CommandLine line = kivo::CRichApp::ParseCommandLine(arguments);
    if (line.help) {
        std::fputs(kivo::CRichApp::CommandLineUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "kivo: %s\n%s", line.error.toLocal8Bit().constData(),
                     kivo::CRichApp::CommandLineUsage().toLocal8Bit().constData());
        return 2;
    }
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
