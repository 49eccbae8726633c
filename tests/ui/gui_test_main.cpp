// GUI tests run headless on Qt's offscreen platform.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef QUINDLE_TEST_FONT_DIR
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", QUINDLE_TEST_FONT_DIR);
#endif
    // The player's horses are kept in the application's data folder: one of the tests' own.
    QTemporaryDir appData;
    qputenv("XDG_DATA_HOME", appData.path().toLocal8Bit());
    qputenv("APPDATA", appData.path().toLocal8Bit());
    QApplication app(argc, argv);
    // What the windows remember (the zoom, the data folder) goes to a folder of the tests' own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setOrganizationName(QStringLiteral("quindle-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
