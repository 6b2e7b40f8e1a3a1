#include "app/RichApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    kivo::CRichApp app(arguments);
    app.CloseOnTerminateSignal();
    return app.Run();
}
