#include "ui/main_form_boxes.h"

#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "dosage/format.h"
#include "ui/fit_text.h"
#include "ui/fonts.h"
#include "ui/grid_header.h"
#include "ui/pedigree_layout.h"
#include "ui/twips.h"

namespace quindle::ui {

namespace {

struct Caption {
    int index;
    const char* text;
    int left, top, width;
};
constexpr Caption kCaptions[] = {
    {1, "Sire", 360, 4920, 1215},
    {2, "Sire's Sire", 360, 5160, 1215},
    {0, "Dam-Sire", 360, 5400, 1215},
    {3, "Sire's Sire's Sire", 360, 5640, 1215},
    {4, "Sire's Dam-Sire", 360, 5880, 1215},
    {6, "Dam-Sire's Sire", 360, 6120, 1215},
    {5, "Dam's Dam-Sire", 360, 6360, 1215},
    {7, "B      C  S  P", 1800, 4600, 1095},
    {8, "I", 2070, 4600, 135},
    {9, "Quindle Profile", 3240, 4500, 1695},
    {10, "Total pts (max24)", 3480, 4920, 1215},
    {11, "CD", 4440, 5280, 375},
    {12, "DI", 4440, 5640, 255},
    {14, "Speed", 4080, 6000, 615},
    {13, "Stamina", 4080, 6360, 615},
};
constexpr int kSmallHeight = 195;

// Group borders of the profile area (left, top, width, height), the outer one first.
// The borders round the last row end a little below it, not on its lower edge.
constexpr int kFrames[][4] = {
    {300, 4440, 6915, 2160}, {330, 4890, 1275, 1695}, {1770, 4570, 1155, 2015},
    {3210, 4470, 3795, 330}, {3450, 4890, 2030, 255}, {4050, 5250, 1635, 1335},
    {5820, 5160, 1350, 750}, {5850, 6210, 1360, 315}, {330, 4515, 1410, 330},
};

QLineEdit* makeBox(QWidget* form, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(form);
    box->setGeometry(twipsRect(left, top, width, height));
    return box;
}

QLineEdit* makeDisplayBox(QWidget* form, int left, int top, int width, int height, QLineEdit* box = nullptr)
{
    if (!box)
        box = new NameBox(form); // a long name is elided, whole in its tooltip
    box->setGeometry(twipsRect(left, top, width, height));
    box->setReadOnly(true);
    // Show the start of a long name, not its end.
    QObject::connect(box, &QLineEdit::textChanged, box, [box] { box->setCursorPosition(0); });
    return box;
}

} // namespace

void setBoxColour(QLineEdit* box, Rgb colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, toQColor(colour));
    // Dark on the pastel colours whatever the desktop's theme.
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
}

void MainFormBoxes::build(QWidget* form)
{
    buildChart(form);
    buildProfileArea(form);
    buildCommands(form);
}

void MainFormBoxes::buildChart(QWidget* form)
{
    auto* frame = new QGroupBox(QStringLiteral("Lineage"), form);
    frame->setGeometry(twipsRect(240, 120, 6975, 4215));

    auto chartBox = [&](int left, int top, int width, int height, Rgb colour) {
        QLineEdit* box = makeDisplayBox(form, left, top, width, height);
        box->setFocusPolicy(Qt::TabFocus);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setBoxColour(box, colour);
        return box;
    };
    texts[2] = chartBox(kHorseBox.left, kHorseBox.top, kChartWidth, kHorseBox.height, kNeutralColour);
    for (const ChartBox& b : kChart) {
        QLineEdit* box = chartBox(b.left, b.top, kChartWidth, b.height, b.male ? kMaleColour : kFemaleColour);
        if (!b.male)
            box->setFocusPolicy(Qt::NoFocus); // the dam-line boxes are drawing only
        texts[static_cast<std::size_t>(b.number)] = box;
    }
    ageSex = chartBox(kAgeSexBox.left, kAgeSexBox.top, kAgeSexWidth, kAgeSexBox.height, kNeutralColour);
    ageSex->setFocusPolicy(Qt::NoFocus);
    ageSex->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void MainFormBoxes::buildProfileArea(QWidget* form)
{
    for (const auto& f : kFrames) {
        auto* frame = new QFrame(form);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setFrameShadow(QFrame::Sunken);
        frame->setGeometry(twipsRect(f[0], f[1], f[2], f[3]));
    }

    auto smallBox = [&](int left, int top, int width, int height, QPalette::ColorRole background,
                        QLineEdit* made = nullptr) {
        QLineEdit* box = makeDisplayBox(form, left, top, width, height, made);
        box->setFocusPolicy(Qt::NoFocus);
        box->setFrame(false);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, palette.color(background));
        box->setPalette(palette);
        return box;
    };
    GridHeader* letters[] = {new GridHeader(form), new GridHeader(form)}; // B C S P, and I
    for (const Caption& c : kCaptions) {
        QLineEdit* box = smallBox(c.left, c.top, c.width, c.index == 9 ? 270 : kSmallHeight, QPalette::Window,
                                  c.index == 7 || c.index == 8 ? letters[c.index - 7] : nullptr);
        box->setText(QString::fromLatin1(c.text));
        text16[static_cast<std::size_t>(c.index)] = box;
    }
    // The column header's letters stand over the grid columns (placed below).
    text16[7]->setFont(headerFont());
    text16[8]->setFont(headerFont());
    QFont boldFont = text16[9]->font();
    boldFont.setBold(true);
    text16[9]->setFont(boldFont);

    for (int p = 0; p < kPositions; ++p)
        for (int g = 0; g < kGroups; ++g) {
            QLineEdit* box = smallBox(1800 + 240 * g, 4920 + 240 * p, 135, kSmallHeight, QPalette::Button);
            box->setAlignment(Qt::AlignCenter);
            pt[static_cast<std::size_t>(kGroups * p + g)] = box;
        }
    letters[0]->setColumns({pt[0], pt[2], pt[3], pt[4]});
    letters[1]->setColumns({pt[1]});
    const int totalLefts[] = {5280, 5640, 6000, 6360, 6720};
    for (int g = 0; g < kGroups; ++g)
        pt[static_cast<std::size_t>(kGroupTotalBox + g)] =
            smallBox(totalLefts[g], 4500, 255, kSmallHeight, QPalette::Button);
    pt[kTotalBox] = smallBox(5075, 4920, 375, kSmallHeight, QPalette::Button);
    pt[kCdBox] = smallBox(5040, 5280, 615, kSmallHeight, QPalette::Button);
    pt[kDiBox] = smallBox(5040, 5640, 495, kSmallHeight, QPalette::Button);
    pt[kSpeedBox] = smallBox(5040, 6000, 495, kSmallHeight, QPalette::Button);
    pt[kStaminaBox] = smallBox(5040, 6360, 495, kSmallHeight, QPalette::Button);

    auto* credit = new FitLabel(QStringLiteral("Quindle"), form);
    credit->setObjectName(QStringLiteral("Label7"));
    credit->setGeometry(twipsRect(360, 4545, 555, 255));
    auto* credit2 = new FitLabel(QStringLiteral("profiles"), form);
    credit2->setObjectName(QStringLiteral("Label6"));
    credit2->setGeometry(twipsRect(915, 4545, 800, 255));
}

void MainFormBoxes::buildCommands(QWidget* form)
{
    auto* label = new FitLabel(QStringLiteral("Enter Horse ID"), form);
    label->setGeometry(twipsRect(5880, 5200, 1215, 255));

    searchID = makeBox(form, 5880, 5520, 655, 285);
    searchID->setMaxLength(6);

    go = new FitButton(QStringLiteral("GO"), form);
    go->setGeometry(twipsRect(6600, 5490, 495, 375));
    go->setAutoDefault(false);

    indicator = makeDisplayBox(form, 5880, 6240, 1300, 255);
    indicator->setFocusPolicy(Qt::NoFocus);
    QPalette palette = indicator->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    indicator->setPalette(palette);

    hypoMate = new FitButton(QStringLiteral("Hypo Mate"), form);
    hypoMate->setGeometry(twipsRect(6000, 4920, 855, 255));
    hypoMate->setAutoDefault(false);

    // The mating planner and the search by name: two buttons in the free band below GO.
    plan = new FitButton(QStringLiteral("Plan\u2026"), form);
    plan->setObjectName(QStringLiteral("PlanMatings"));
    plan->setGeometry(twipsRect(5880, 5925, 615, 255));
    plan->setAutoDefault(false);
    plan->setFocusPolicy(Qt::NoFocus);
    plan->setToolTip(QStringLiteral("Rank every stallion of the sire list for a mare (Ctrl+M)"));

    find = new QPushButton(QStringLiteral("Find\u2026"), form);
    find->setObjectName(QStringLiteral("FindHorse"));
    find->setGeometry(twipsRect(6555, 5925, 615, 255));
    find->setAutoDefault(false);
    find->setFocusPolicy(Qt::NoFocus);
    find->setToolTip(QStringLiteral("Find a horse by name, or a stallion's foals (Ctrl+F)"));
}

void MainFormBoxes::name()
{
    // Each box by the name its text goes by, so tests and tools find it.
    for (std::size_t n = 0; n < texts.size(); ++n)
        if (texts[n])
            texts[n]->setObjectName(QStringLiteral("Text%1").arg(n));
    for (std::size_t i = 0; i < pt.size(); ++i)
        pt[i]->setObjectName(QStringLiteral("PT%1").arg(i));
    for (std::size_t i = 0; i < text16.size(); ++i)
        if (text16[i])
            text16[i]->setObjectName(QStringLiteral("Text16_%1").arg(i));
    ageSex->setObjectName(QStringLiteral("AgeSex"));
    indicator->setObjectName(QStringLiteral("indicator"));
    searchID->setObjectName(QStringLiteral("searchID"));
    go->setObjectName(QStringLiteral("GO"));
    hypoMate->setObjectName(QStringLiteral("HypoMate"));
}

} // namespace quindle::ui
