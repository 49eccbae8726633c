// GUI tests run headless on Qt's offscreen platform.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Two screens, as a player's desk may have: a large one the windows open on
    // and a small laptop screen and an old square one beside it, for the rules
    // about fitting the screen.
    // The platform's options are split at colons, so the file is named by a path
    // relative to the working folder: a Windows path's drive would end it early.
    QTemporaryDir screens(QStringLiteral("screens-XXXXXX"));
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        QFile config(QDir::current().relativeFilePath(screens.filePath(QStringLiteral("screens.json"))));
        if (config.open(QIODevice::WriteOnly))
            config.write(R"({"screens": [
                {"name": "large", "x": 0, "y": 0, "width": 2560, "height": 1440, "logicalDpi": 96, "dpr": 1},
                {"name": "laptop", "x": 2560, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96, "dpr": 1},
                {"name": "square", "x": 3926, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    }
#ifdef QUINDLE_TEST_FONT_DIR
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", QUINDLE_TEST_FONT_DIR);
#endif
    // The player's horses are kept in the application's data folder: one of the tests' own.
    QTemporaryDir appData;
    qputenv("XDG_DATA_HOME", appData.path().toLocal8Bit());
    qputenv("APPDATA", appData.path().toLocal8Bit());
    QApplication app(argc, argv);
    // What the windows remember (the zoom, the data folder) goes to a folder of the tests' own, as
    // files: on Windows the native place is the registry, which every test program running beside
    // this one would share.
    QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication::setOrganizationName(QStringLiteral("quindle-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
