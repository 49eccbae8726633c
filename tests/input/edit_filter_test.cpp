// The outcome of one change in the ID box and in the name boxes.
#include <gtest/gtest.h>

#include "input/edit_filter.h"
#include "input/key_rules.h"

using namespace quindle;

namespace {
EditOutcome accepted(std::u16string text, int caret) { return {std::move(text), caret, true}; }
EditOutcome refused(std::u16string text, int caret) { return {std::move(text), caret, false}; }
} // namespace

TEST(IdFilter, BlanksAndLineBreaksAreRemovedDigitsKept)
{
    EXPECT_EQ(filterIdEdit(u" 12 34", 6, u""), accepted(u"1234", 4));
    EXPECT_EQ(filterIdEdit(u"1\t2\r\n3", 6, u""), accepted(u"123", 3));
    EXPECT_EQ(filterIdEdit(u"007", 3, u""), accepted(u"007", 3));
    EXPECT_EQ(filterIdEdit(u"", 0, u"12"), accepted(u"", 0));
}

TEST(IdFilter, AnythingElseRestoresTheLastTextKeepingTheDistanceFromTheEnd)
{
    // '123' with the caret after the '1', 'x' pasted there.
    EXPECT_EQ(filterIdEdit(u"1x23", 2, u"123"), refused(u"123", 1));
    EXPECT_EQ(filterIdEdit(u"-5", 2, u""), refused(u"", 0));
    EXPECT_EQ(filterIdEdit(u"1.5", 3, u"15"), refused(u"15", 2));
    EXPECT_EQ(filterIdEdit(u"١٢", 2, u"7"), refused(u"7", 1)); // other scripts' digits are not digits
}

TEST(IdFilter, CaretsAreAlwaysWithinTheText)
{
    EXPECT_EQ(filterIdEdit(u"12", 99, u"").caret, 2);
    EXPECT_EQ(filterIdEdit(u"x", -5, u"12").caret, 0);
    EXPECT_EQ(filterIdEdit(u"x", 1, u"").caret, 0);
}

TEST(NameFilter, UpperCasesAndDropsLeadingSpaces)
{
    EXPECT_EQ(filterNameEdit(u"mr. red-cap", 11, u""), accepted(u"MR. RED-CAP", 11));
    EXPECT_EQ(filterNameEdit(u"  north star (ire)", 18, u""), accepted(u"NORTH STAR (IRE)", 16));
    EXPECT_EQ(filterNameEdit(u" ", 1, u""), accepted(u"", 0));
    EXPECT_EQ(filterNameEdit(u"ST. O'BRIEN ", 12, u""), accepted(u"ST. O'BRIEN ", 12));
}

TEST(NameFilter, TabAndCarriageReturnBecomeSpacesLineFeedsGo)
{
    EXPECT_EQ(filterNameEdit(u"NORTH\tSTAR", 10, u""), accepted(u"NORTH STAR", 10));
    EXPECT_EQ(filterNameEdit(u"NORTH\r\nSTAR", 11, u""), accepted(u"NORTH STAR", 10));
}

TEST(NameFilter, CharactersOutsideTheAlphabetRestoreTheLastName)
{
    EXPECT_EQ(filterNameEdit(u"AB1", 3, u"AB"), refused(u"AB", 2));
    EXPECT_EQ(filterNameEdit(u"A!B", 2, u"AB"), refused(u"AB", 1));
    EXPECT_EQ(filterNameEdit(u"A,B", 2, u"AB"), refused(u"AB", 1));
    EXPECT_EQ(filterNameEdit(u"ABC1", 4, u"XY"), refused(u"XY", 2));
    EXPECT_EQ(filterNameEdit(u"CAF\u00C9", 4, u"CAF"), refused(u"CAF", 3));
    EXPECT_EQ(filterNameEdit(u"\u0131", 1, u""), refused(u"", 0)); // dotless i is not an A to Z letter
}

TEST(NameFilter, TextsLongerThanTheLimitAreRefused)
{
    const std::u16string limit(kLongestName, u'A');
    EXPECT_TRUE(filterNameEdit(limit, kLongestName, u"").accepted);
    const std::u16string tooLong(kLongestName + 1, u'A');
    EXPECT_EQ(filterNameEdit(tooLong, kLongestName + 1, u"AB"), refused(u"AB", 2));
}

TEST(IdKeys, TheKeyPressTable)
{
    EXPECT_EQ(idKeyAction(1, 0), IdKeyAction::SelectAll);
    for (const char16_t passed : {8, 3, 22, 24, 26})
        EXPECT_EQ(idKeyAction(passed, 0), IdKeyAction::Pass);
    EXPECT_EQ(idKeyAction(13, 0), IdKeyAction::GoThenRefuse);
    EXPECT_EQ(idKeyAction(u'0', 0), IdKeyAction::Refuse);
    EXPECT_EQ(idKeyAction(u'0', 1), IdKeyAction::Pass);
    EXPECT_EQ(idKeyAction(u'9', 0), IdKeyAction::Pass);
    for (const char16_t refused : {u'a', u'-', u' ', u'.', char16_t{27}, char16_t{25}})
        EXPECT_EQ(idKeyAction(refused, 2), IdKeyAction::Refuse);
}

TEST(NameKeys, TheKeyPressTable)
{
    EXPECT_EQ(nameKeyAction(1), NameKeyAction::SelectAll);
    EXPECT_EQ(nameKeyAction(13), NameKeyAction::SubmitThenPass);
    EXPECT_EQ(nameKeyAction(u'a'), NameKeyAction::Pass);
    EXPECT_EQ(toUpperAscii(u'a'), u'A');
    EXPECT_EQ(toUpperAscii(u'z'), u'Z');
    EXPECT_EQ(toUpperAscii(u'1'), u'1');
    EXPECT_EQ(toUpperAscii(u'\u00e9'), u'\u00e9');
}
