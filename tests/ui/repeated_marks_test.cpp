// Repeated sires marked in the main window's lineage boxes.
#include <QTest>
#include <map>

#include "gui_fixture.h"
#include "ui/fit_text.h"
#include "ui/sub_form.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class RepeatedMarksTest : public GuiTest {
protected:
    ui::NameBox* box(int n) const { return dynamic_cast<ui::NameBox*>(main->text(n)); }
    // Every box's place, to see that none moves.
    std::map<QString, QRect> places() const
    {
        std::map<QString, QRect> out;
        for (const QWidget* widget : main->findChildren<QWidget*>())
            out[widget->objectName() + QString::number(reinterpret_cast<quintptr>(widget))] = widget->geometry();
        return out;
    }
};

} // namespace

TEST_F(RepeatedMarksTest, EachBoxOfARepeatedNameIsMarkedWithItsPlacesAndNothingMoves)
{
    const auto before = places();
    // Sire RED CAP (Sire's Sire OLD GREY, Sire's Dam-Sire NORTH STAR from the
    // sire list) with Dam-Sire OLD GREY and Dam's Dam-Sire NORTH STAR.
    main->submitMating({"RED CAP", "OLD GREY", "NORTH STAR"});
    ASSERT_EQ(main->text(4)->text(), "OLD GREY");
    ASSERT_EQ(main->text(7)->text(), "NORTH STAR");
    for (int n : {4, 5})
        EXPECT_EQ(box(n)->note(), "Repeated sire: OLD GREY 2S x 2D") << n;
    for (int n : {7, 9})
        EXPECT_EQ(box(n)->note(), "Repeated sire: NORTH STAR 3S x 3D") << n;
    for (int n : {3, 6, 8})
        EXPECT_TRUE(box(n)->note().isEmpty()) << n;
    EXPECT_TRUE(box(5)->toolTip().contains("OLD GREY 2S x 2D")) << box(5)->toolTip().toStdString();
    EXPECT_EQ(places(), before);

    // A horse without repeats clears every mark; one with them marks its boxes.
    lookUp("1");
    for (int n = 3; n <= 9; ++n)
        EXPECT_TRUE(box(n)->note().isEmpty() && !box(n)->toolTip().contains("Repeated")) << n;
    lookUp("2");
    EXPECT_TRUE(box(3)->note().startsWith("Repeated sire: NOBODY 1S x 2S")) << box(3)->note().toStdString();
    EXPECT_EQ(places(), before);
}
