// The lists of IDs typed into the season and My Horses windows.
#include <gtest/gtest.h>

#include "input/id_list.h"

using namespace quindle;

TEST(IdList, PartsBetweenBlanksCommasAndSemicolonsAreIdsOrNamedAsRefused)
{
    const IdList list = parseIdList(" 1204 88731,5;;\t000012 , 0 999999 1000000 99999999999999999999 12a -3");
    EXPECT_EQ(list.ids, (std::vector<std::int32_t>{1204, 88731, 5, 12, 999999}));
    EXPECT_EQ(list.refused, (std::vector<std::string>{"0", "1000000", "99999999999999999999", "12a", "-3"}));
    EXPECT_TRUE(parseIdList(" ,; ").ids.empty());
    EXPECT_TRUE(parseIdList(" ,; ").refused.empty());
}
