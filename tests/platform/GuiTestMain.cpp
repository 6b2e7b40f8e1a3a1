// The main function of the GUI test binaries: a QApplication on the offscreen platform, and a
// settings store and a state folder in a temporary folder of its own, so that no test reads or
// writes the user's.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the binary outside ctest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The windows' contents kept between runs, too.
    qputenv("XDG_STATE_HOME", (config.path() + QStringLiteral("/state")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
