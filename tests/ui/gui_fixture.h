#pragma once
// A small known data folder, a started main window on it, and a seam that
// counts beeps and records message boxes instead of showing them.
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

#include "support/temp_dir.h"
#include "ui/main_form.h"
#include "ui/ui_seam.h"

namespace quindle::testing {

struct RecordingSeam : ui::UiSeam {
    int beeps = 0;
    std::vector<std::pair<QString, QString>> warnings; // title, text
    void beep() override { ++beeps; }
    void warning(QWidget*, const QString& title, const QString& text) override { warnings.emplace_back(title, text); }
    std::vector<QString> folderAnswers; // what the folder dialogs answer, in turn; then cancel
    QString chooseFolder(QWidget*, const QString&) override
    {
        if (folderAnswers.empty())
            return {};
        const QString answer = folderAnswers.front();
        folderAnswers.erase(folderAnswers.begin());
        return answer;
    }
    std::vector<QString> informations;
    void information(QWidget*, const QString&, const QString& text) override { informations.push_back(text); }
    QString savePath; // what the save dialog answers
    QString saveFileName(QWidget*, const QString&, const QString&) override { return savePath; }
    std::vector<QString> textAnswers; // what the text questions answer, in turn; then cancel
    QString askText(QWidget*, const QString&, const QString&, const QString&) override
    {
        if (textAnswers.empty())
            return {};
        const QString answer = textAnswers.front();
        textAnswers.erase(textAnswers.begin());
        return answer;
    }
    QString openPath; // what the open dialog answers
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return openPath; }
};

// Waits, handling events, until `condition` holds; a test failure when it does
// not within `ms` milliseconds. (QtTest's own QTRY macros report to QtTest, which
// a gtest test never hears of.)
#define EXPECT_SOON(condition, ms)                                                                                     \
    EXPECT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, ms))                                     \
        << "not so within " << (ms) << " ms: " #condition

// A window's widget by its object name; a missing one fails the test. The
// window may be given as a pointer or a smart pointer.
template <class Widget = QLineEdit, class Window>
Widget* named(const Window& window, const QString& name)
{
    const QWidget* parent = std::to_address(window);
    Widget* widget = parent->findChild<Widget*>(name);
    if (!widget)
        throw std::runtime_error("no widget named " + name.toStdString());
    return widget;
}
// The main window's boxes PT(i), Text16(i), and the lineage boxes Text3 .. Text9
// in profile position order.
template <class Window>
QLineEdit* ptBox(const Window& main, int i)
{
    return named(main, QStringLiteral("PT%1").arg(i));
}
template <class Window>
QLineEdit* text16Box(const Window& main, int i)
{
    return named(main, QStringLiteral("Text16_%1").arg(i));
}
template <class Window>
QLineEdit* lineageBox(const Window& main, int position)
{
    return named(main, QStringLiteral("Text%1").arg(3 + position));
}

// Horses: 1 a filly with a full profile, 2 a colt without chefs, 3 a 'mare' in
// lower case, 4 a gelding, 5 a horse with a comma in its name.
std::string guiChefTable();
std::string guiSireList();
std::string guiBreedingFile();

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Types into a box with real key clicks.
    static void type(QLineEdit* box, const QString& keys);
    // Puts text on the clipboard and pastes it with Ctrl+V.
    static void paste(QLineEdit* box, const QString& text);
    void lookUp(const QString& id);
    // Fills `other` as a data folder with the fixture's chef table and the given
    // sire list and breeding file, and chooses it as the main window's Ctrl+O does.
    DataFolder chooseAnotherFolder(const TempDir& other, const std::string& sireList, const std::string& breeding);
    QString ptText(int index) const;
    QColor colourOf(QLineEdit* box) const;

    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    RecordingSeam seam;
    std::unique_ptr<ui::MainForm> main;

private:
    std::string chefBefore_, siresBefore_, breedingBefore_;
};

} // namespace quindle::testing
