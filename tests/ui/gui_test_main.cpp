// GUI tests run headless on Qt's offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef QUINDLE_TEST_FONT_DIR
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", QUINDLE_TEST_FONT_DIR);
#endif
    QApplication app(argc, argv);
#ifdef _WIN32
    // Settings on Windows live in the registry under the organisation's name; without one nothing is kept.
    QApplication::setOrganizationName(QStringLiteral("quindle-tests"));
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
