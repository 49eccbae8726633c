// The sire names a name box can complete, read from QN_SireList.
#include <gtest/gtest.h>

#include "input/sire_names.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

TEST(SireNames, SortedOnceEachWhateverTheirCharacters)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    writeFile(path, "RED CAP,A,B,C\r\nOLD GREY,A,B,C\r\nRED CAP,D,E,F\r\nno lower case,A,B,C\r\nNUMBER 9,A,B,C\r\n"
                    "\"  QUOTED\",A,B,C\r\nO'BRIEN (IRE),A,B,C\r\n");
    const SireNames read = readSireNames(path);
    // A name picked from the list is taken whole: those the boxes cannot type are offered too.
    EXPECT_EQ(read.names, (std::vector<std::string>{"  QUOTED", "NUMBER 9", "O'BRIEN (IRE)", "OLD GREY", "RED CAP",
                                                    "no lower case"}));
    EXPECT_EQ(read.error, "");
    EXPECT_TRUE(containsName(read.names, "OLD GREY"));
    EXPECT_FALSE(containsName(read.names, "OLD GREY "));
}

TEST(SireNames, ABadEntryKeepsTheNamesBeforeIt)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    writeFile(path, "RED CAP,A,B,C\r\nSHORT,A\r\n");
    const SireNames read = readSireNames(path);
    EXPECT_EQ(read.names, std::vector<std::string>{"RED CAP"});
    EXPECT_NE(read.error.find("QN_SireList"), std::string::npos) << read.error;
    EXPECT_FALSE(readSireNames(path + ".missing").error.empty());
}
