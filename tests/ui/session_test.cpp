// The open data the windows share: it says when it changed, so every window
// hears of a breeding file cut again or another data folder.
#include <QSignalSpy>
#include <QTest>

#include "gui_fixture.h"
#include "ui/session.h"

using namespace quindle;
using namespace quindle::testing;

TEST_F(GuiTest, TheSessionSignalsANewCutAndAnotherFolderButNotAnUnchangedFile)
{
    main->watchBreedingFile(dir.file("Quindle.nnn"));
    ui::Session* session = main->session();
    QSignalSpy changed(session, &ui::Session::changed);
    QSignalSpy replaced(session, &ui::Session::folderReplaced);

    lookUp("1");
    EXPECT_EQ(changed.count(), 0);

    const std::string original = guiBreedingFile();
    writeFile(folder.breedingFile(), original + horseLines(6, "LATE FOAL"));
    lookUp("6"); // the lookup cuts the new file first, then answers from it
    EXPECT_EQ(main->text(2)->text(), "LATE FOAL");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(replaced.count(), 0);
    writeFile(folder.breedingFile(), original); // as the fixture found it

    main->chooseDataFolder(); // cancelled: nothing changes
    EXPECT_EQ(replaced.count(), 0);

    TempDir other;
    const DataFolder second = chooseAnotherFolder(other, guiSireList(), horseLines(1, "SECOND FOLDER", "Mare"));
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(session->folder().dir(), second.dir());
    EXPECT_EQ(main->text(2)->text(), ""); // the old folder's horse is gone
}
