#include "ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <algorithm>

#include "app/look_up.h"
#include "boxes/main_boxes.h"
#include "boxes/shown_profile.h"
#include "data/file_error.h"
#include "data/stamp.h"
#include "dosage/chart_scale.h"
#include "data/startup.h"
#include "dosage/format.h"
#include "dosage/repeated_sires.h"
#include "planner/sire_plan.h"
#include "input/key_rules.h"
#include "ui/box_filter.h"
#include "ui/busy_cursor.h"
#include "ui/chart_names.h"
#include "ui/copy_menu.h"
#include "ui/fit_text.h"
#include "ui/fonts.h"
#include "ui/grid_header.h"
#include "ui/horse_card.h"
#include "ui/latin1.h"
#include "ui/pedigree_layout.h"
#include "export/boxes_text.h"
#include "ui/placement.h"
#include "ui/profile_chart.h"
#include "ui/table_actions.h"
#include "ui/stable_store.h"
#include "ui/startup_ui.h"
#include "ui/sub_form.h"
#include "ui/twips.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

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

// The window, and the chart pane that widens it to the right when shown.
constexpr int kWindowWidth = 7470, kWindowHeight = 6855;
constexpr int kPaneLeft = 7440, kPaneTop = 120, kPaneWidth = 2640, kPaneHeight = 6600;
constexpr int kWidthWithPane = kPaneLeft + kPaneWidth + 120;
constexpr const char* kChartPaneKey = "window/chartPane";

// Group borders of the profile area (left, top, width, height), the outer one first.
// The borders round the last row end a little below it, not on its lower edge.
constexpr int kFrames[][4] = {
    {300, 4440, 6915, 2160}, {330, 4890, 1275, 1695}, {1770, 4570, 1155, 2015},
    {3210, 4470, 3795, 330}, {3450, 4890, 2030, 255}, {4050, 5250, 1635, 1335},
    {5820, 5160, 1350, 750}, {5850, 6210, 1360, 315}, {330, 4515, 1410, 330},
};

} // namespace

MainForm::MainForm(DataFolder folder, ChefTable chefs, QWidget* parent)
    : MainForm(new Session(DataSession(std::move(folder), std::move(chefs))), parent)
{
    session_->setParent(this); // the window's own
}

MainForm::MainForm(Session* session, QWidget* parent) : QWidget(parent), session_(session)
{
    setWindowTitle(QStringLiteral("QUINDLE v" QUINDLE_VERSION));
    setFixedSize(px(kWindowWidth), px(kWindowHeight));
    setFont(windowFont());
    buildChart();
    buildProfileArea();
    buildCommands();
    buildChartPane();
    nameWidgets();
    // Each data folder has its own list of the player's horses.
    stable_ = new StableStore(this);
    stable_->open(folder(), this);
    connect(session_, &Session::folderReplaced, this, [this] { stable_->open(folder(), this); });
    windows_ = new ChildWindows(
        session_, stable_, candidates_, shown_, [this] { return zoom_; }, this);
    connect(windows_, &ChildWindows::horseChosen, this, &MainForm::showHorse);
    connect(windows_, &ChildWindows::matingChosen, this, &MainForm::showChosenMating);
    connect(windows_, &ChildWindows::matingSubmitted, this, &MainForm::submitChosen);
    connect(windows_, &ChildWindows::shownToCompare, this, &MainForm::compareShown);
    connect(windows_, &ChildWindows::zoomAsked, this, &MainForm::setZoom);
    // The foal the mating window would show: blank boxes keep the boxes' names, as Submit keeps them.
    connect(windows_, &ChildWindows::typedMatingToCompare, this,
            [this](const ChosenMating& mating) { addToComparison(candidateOf(forShown(mating))); });
    stableCommands_ = new StableCommands(this, stable_, windows_, [this] { return shown_.horse; });
    card_ = new CardActions(
        this, [this] { return shown_.showsAny(); }, [this] { return shownCard(); });

    // Tab order: the ID box, GO, then the horse and its lineage.
    setTabOrder(searchID_, go_);
    setTabOrder(go_, text(2));
    for (int n = 2; n < 9; ++n)
        setTabOrder(text(n), text(n + 1));
    searchID_->setFocus();

    connect(session_, &Session::folderReplaced, this, &MainForm::folderReplaced);
    connect(session_, &Session::changed, this, [this] { history_ = ShownHistory(); }); // of the old file's horses
    auto* copier = new HorseCopier(this, [this] { return readBoxes(); });
    copier->setHeading([this] { return shown_.lookedUpLine; });
    copier->setMoreActions([this](QMenu* menu) { addWindowActions(menu); }); // the pane, the comparison, the card
    copier->addToMenu([this](QMenu& menu) { stableCommands_->addTo(menu); });
    buildChartNames();
    copier->addForBox([this](QMenu& menu, const QLineEdit* box) { chartNames_->addTo(menu, box); });
    addZoomKeys(
        this, [this] { return zoom_; }, [this](int percent) { setZoom(percent); });
    zoom_ = savedZoom();
    setChartShown(QSettings().value(QLatin1String(kChartPaneKey), false).toBool());
}

MainForm::~MainForm() = default;

void MainForm::nameWidgets()
{
    // Each box by the name its text goes by, so tests and tools find it.
    for (std::size_t n = 0; n < texts_.size(); ++n)
        if (texts_[n])
            texts_[n]->setObjectName(QStringLiteral("Text%1").arg(n));
    for (std::size_t i = 0; i < pt_.size(); ++i)
        pt_[i]->setObjectName(QStringLiteral("PT%1").arg(i));
    for (std::size_t i = 0; i < text16_.size(); ++i)
        if (text16_[i])
            text16_[i]->setObjectName(QStringLiteral("Text16_%1").arg(i));
    ageSex_->setObjectName(QStringLiteral("AgeSex"));
    indicator_->setObjectName(QStringLiteral("indicator"));
    searchID_->setObjectName(QStringLiteral("searchID"));
    go_->setObjectName(QStringLiteral("GO"));
    hypoMate_->setObjectName(QStringLiteral("HypoMate"));
}

QLineEdit* MainForm::makeBox(int left, int top, int width, int height)
{
    auto* box = new QLineEdit(this);
    box->setGeometry(twipsRect(left, top, width, height));
    return box;
}

QLineEdit* MainForm::makeDisplayBox(int left, int top, int width, int height, QLineEdit* box)
{
    if (!box)
        box = new NameBox(this); // a long name is elided, whole in its tooltip
    box->setGeometry(twipsRect(left, top, width, height));
    box->setReadOnly(true);
    // Show the start of a long name, not its end.
    connect(box, &QLineEdit::textChanged, box, [box] { box->setCursorPosition(0); });
    return box;
}

void MainForm::setBoxColour(QLineEdit* box, Rgb colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, toQColor(colour));
    // Dark on the pastel colours whatever the desktop's theme.
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
}

void MainForm::buildChart()
{
    auto* frame = new QGroupBox(QStringLiteral("Lineage"), this);
    frame->setGeometry(twipsRect(240, 120, 6975, 4215));

    auto chartBox = [&](int left, int top, int width, int height, Rgb colour) {
        QLineEdit* box = makeDisplayBox(left, top, width, height);
        box->setFocusPolicy(Qt::TabFocus);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setBoxColour(box, colour);
        return box;
    };
    texts_[2] = chartBox(kHorseBox.left, kHorseBox.top, kChartWidth, kHorseBox.height, kNeutralColour);
    for (const ChartBox& b : kChart) {
        QLineEdit* box = chartBox(b.left, b.top, kChartWidth, b.height, b.male ? kMaleColour : kFemaleColour);
        if (!b.male)
            box->setFocusPolicy(Qt::NoFocus); // the dam-line boxes are drawing only
        texts_[static_cast<std::size_t>(b.number)] = box;
    }
    ageSex_ = chartBox(kAgeSexBox.left, kAgeSexBox.top, kAgeSexWidth, kAgeSexBox.height, kNeutralColour);
    ageSex_->setFocusPolicy(Qt::NoFocus);
    ageSex_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void MainForm::buildProfileArea()
{
    for (const auto& f : kFrames) {
        auto* frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setFrameShadow(QFrame::Sunken);
        frame->setGeometry(twipsRect(f[0], f[1], f[2], f[3]));
    }

    auto smallBox = [&](int left, int top, int width, int height, QPalette::ColorRole background,
                        QLineEdit* made = nullptr) {
        QLineEdit* box = makeDisplayBox(left, top, width, height, made);
        box->setFocusPolicy(Qt::NoFocus);
        box->setFrame(false);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, palette.color(background));
        box->setPalette(palette);
        return box;
    };
    GridHeader* letters[] = {new GridHeader(this), new GridHeader(this)}; // B C S P, and I
    for (const Caption& c : kCaptions) {
        QLineEdit* box = smallBox(c.left, c.top, c.width, c.index == 9 ? 270 : kSmallHeight, QPalette::Window,
                                  c.index == 7 || c.index == 8 ? letters[c.index - 7] : nullptr);
        box->setText(QString::fromLatin1(c.text));
        text16_[static_cast<std::size_t>(c.index)] = box;
    }
    // The column header's letters stand over the grid columns (placed below).
    text16_[7]->setFont(headerFont());
    text16_[8]->setFont(headerFont());
    QFont boldFont = text16_[9]->font();
    boldFont.setBold(true);
    text16_[9]->setFont(boldFont);

    for (int p = 0; p < kPositions; ++p)
        for (int g = 0; g < kGroups; ++g) {
            QLineEdit* box = smallBox(1800 + 240 * g, 4920 + 240 * p, 135, kSmallHeight, QPalette::Button);
            box->setAlignment(Qt::AlignCenter);
            pt_[static_cast<std::size_t>(kGroups * p + g)] = box;
        }
    letters[0]->setColumns({pt_[0], pt_[2], pt_[3], pt_[4]});
    letters[1]->setColumns({pt_[1]});
    const int totalLefts[] = {5280, 5640, 6000, 6360, 6720};
    for (int g = 0; g < kGroups; ++g)
        pt_[static_cast<std::size_t>(kGroupTotalBox + g)] =
            smallBox(totalLefts[g], 4500, 255, kSmallHeight, QPalette::Button);
    pt_[kTotalBox] = smallBox(5075, 4920, 375, kSmallHeight, QPalette::Button);
    pt_[kCdBox] = smallBox(5040, 5280, 615, kSmallHeight, QPalette::Button);
    pt_[kDiBox] = smallBox(5040, 5640, 495, kSmallHeight, QPalette::Button);
    pt_[kSpeedBox] = smallBox(5040, 6000, 495, kSmallHeight, QPalette::Button);
    pt_[kStaminaBox] = smallBox(5040, 6360, 495, kSmallHeight, QPalette::Button);

    auto* credit = new FitLabel(QStringLiteral("Quindle"), this);
    credit->setObjectName(QStringLiteral("Label7"));
    credit->setGeometry(twipsRect(360, 4545, 555, 255));
    auto* credit2 = new FitLabel(QStringLiteral("profiles"), this);
    credit2->setObjectName(QStringLiteral("Label6"));
    credit2->setGeometry(twipsRect(915, 4545, 800, 255));
}

void MainForm::buildCommands()
{
    auto* label = new FitLabel(QStringLiteral("Enter Horse ID"), this);
    label->setGeometry(twipsRect(5880, 5200, 1215, 255));

    searchID_ = makeBox(5880, 5520, 655, 285);
    searchID_->setMaxLength(6);
    searchID_->installEventFilter(this);
    idGuard_ = new EditGuard(searchID_, filterIdEdit);

    go_ = new FitButton(QStringLiteral("GO"), this);
    go_->setGeometry(twipsRect(6600, 5490, 495, 375));
    go_->setAutoDefault(false);
    connect(go_, &QPushButton::clicked, this, &MainForm::goClick);

    indicator_ = makeDisplayBox(5880, 6240, 1300, 255);
    indicator_->setFocusPolicy(Qt::NoFocus);
    QPalette palette = indicator_->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    indicator_->setPalette(palette);

    hypoMate_ = new FitButton(QStringLiteral("Hypo Mate"), this);
    hypoMate_->setGeometry(twipsRect(6000, 4920, 855, 255));
    hypoMate_->setAutoDefault(false);
    connect(hypoMate_, &QPushButton::clicked, this, &MainForm::hypoMateClick);

    // The mating planner: a button in the free band below GO, and Ctrl+M.
    plan_ = new FitButton(QStringLiteral("Plan\u2026"), this);
    plan_->setObjectName(QStringLiteral("PlanMatings"));
    plan_->setGeometry(twipsRect(5880, 5925, 615, 255));
    plan_->setAutoDefault(false);
    plan_->setFocusPolicy(Qt::NoFocus);
    plan_->setToolTip(QStringLiteral("Rank every stallion of the sire list for a mare (Ctrl+M)"));
    connect(plan_, &QPushButton::clicked, this, &MainForm::openPlanner);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &MainForm::openPlanner);
    // The data folder: Ctrl+O chooses another, F1 says which one is read.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
            &MainForm::chooseDataFolder);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, &MainForm::about);
    showDataFolder();

    // The search by name: beside "Plan…" in the same band, and Ctrl+F.
    find_ = new QPushButton(QStringLiteral("Find\u2026"), this);
    find_->setObjectName(QStringLiteral("FindHorse"));
    find_->setGeometry(twipsRect(6555, 5925, 615, 255));
    find_->setAutoDefault(false);
    find_->setFocusPolicy(Qt::NoFocus);
    find_->setToolTip(QStringLiteral("Find a horse by name, or a stallion's foals (Ctrl+F)"));
    connect(find_, &QPushButton::clicked, this, &MainForm::openSearch);
    auto* findShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    findShortcut->setContext(Qt::WindowShortcut);
    connect(findShortcut, &QShortcut::activated, this, &MainForm::openSearch);
}

void MainForm::buildChartPane()
{
    chart_ = new ProfileChart(this);
    chart_->setObjectName(QStringLiteral("profileChart"));
    chart_->setGeometry(twipsRect(kPaneLeft, kPaneTop, kPaneWidth, kPaneHeight));
    chart_->hide();
    const auto key = [this](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_K), [this] { setChartShown(!chartShown()); });
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), [this] { compareShown(); });
}

bool MainForm::chartShown() const { return !chart_->isHidden(); }

void MainForm::setChartShown(bool shown)
{
    // The boxes stay where they are: the window only grows to the right.
    setDesignedSize(this, QSize(px(shown ? kWidthWithPane : kWindowWidth), px(kWindowHeight)));
    chart_->setVisible(shown);
    // Wider with the pane: a zoom that no longer fits the screen is lowered, as at
    // the start, and the window kept on its screen.
    zoom_ = fittingZoom(zoom_);
    applyZoom(this, zoom_);
    if (isVisible())
        placeOnScreen(this, frameGeometry().topLeft(), this);
    QSettings().setValue(QLatin1String(kChartPaneKey), shown);
}

void MainForm::showChart()
{
    const std::optional<DosageProfile> profile = profileOfBoxes(readBoxes());
    chart_->setProfile(profile, profile ? commonScale(profile->groupTotal) : commonScale(GroupTotals{}));
}

void MainForm::addWindowActions(QMenu* menu)
{
    menu->addSeparator();
    QAction* chart = menu->addAction(QStringLiteral("Profile Chart"), this, [this] { setChartShown(!chartShown()); });
    chart->setCheckable(true);
    chart->setChecked(chartShown());
    chart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    const bool shows = shown_.showsAny();
    QAction* compare = menu->addAction(QStringLiteral("Add to Comparison"), this, &MainForm::compareShown);
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    compare->setEnabled(shows);
    menu->addAction(QStringLiteral("Comparison\u2026"), windows_, &ChildWindows::openCompare);
    menu->addSeparator();
    QAction* back = menu->addAction(QStringLiteral("Back"), this, &MainForm::goBack);
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    back->setEnabled(history_.canGoBack());
    QAction* forward = menu->addAction(QStringLiteral("Forward"), this, &MainForm::goForward);
    forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    forward->setEnabled(history_.canGoForward());
    menu->addSeparator();
    card_->addTo(menu);
}

HorseCard MainForm::shownCard() const
{
    std::array<QString, 18> chart;
    for (int n = 2; n < 18; ++n)
        if (QLineEdit* box = text(n))
            chart[static_cast<std::size_t>(n)] = box->text();
    // The stamp of the breeding file the boxes were read from, not of one the game wrote since.
    // A mating made for a mare is titled and marked with her; a horse's card shows its own ID.
    std::string title;
    QString identity;
    if (shown_.horse != 0) {
        identity = QStringLiteral("horse %1").arg(shown_.horse);
    } else if (const auto& mating = shown_.chosen) {
        title = chosenTitle(*mating);
        if (mating->mare.id != 0)
            identity = QStringLiteral("for %1 (horse %2)").arg(fromLatin1(mating->mare.name)).arg(mating->mare.id);
    }
    return cardOf(chart, ageSex_->text(), readBoxes(), folder(), session_->data().sourceStamp(), title, identity);
}

void MainForm::compareShown()
{
    if (shown_.horse != 0)
        addToComparison(Candidate{shown_.horse, {}, {}, {}, {}, {}});
    else if (shown_.chosen)
        addToComparison(candidateOf(*shown_.chosen));
    else
        seam().beep(); // nothing shown to add
}

QLineEdit* MainForm::text(int n) const { return texts_[static_cast<std::size_t>(n)]; }

QString MainForm::lastGoodID() const { return idGuard_->lastGood(); }

MainBoxes MainForm::readBoxes() const
{
    MainBoxes boxes;
    boxes.horseName = toLatin1(text(2)->text());
    boxes.ageSex = toLatin1(ageSex_->text());
    for (int position = 0; position < kPositions; ++position)
        boxes.lineage[static_cast<std::size_t>(position)] =
            toLatin1(texts_[static_cast<std::size_t>(3 + position)]->text());
    boxes.indicator = toLatin1(indicator_->text());
    for (int i = 0; i < kProfileBoxes; ++i)
        boxes.profileTexts[static_cast<std::size_t>(i)] = toLatin1(pt_[static_cast<std::size_t>(i)]->text());
    boxes.horseColour = text2Colour_;
    boxes.ageSexColour = ageSexColour_;
    return boxes;
}

void MainForm::writeBoxes(const MainBoxes& boxes)
{
    setBoxColour(text(2), boxes.horseColour);
    setBoxColour(ageSex_, boxes.ageSexColour);
    text2Colour_ = boxes.horseColour;
    ageSexColour_ = boxes.ageSexColour;
    auto write = [](QLineEdit* box, const std::string& value) {
        const QString text = fromLatin1(value);
        if (box->text() != text)
            box->setText(text);
    };
    write(text(2), boxes.horseName);
    write(ageSex_, boxes.ageSex);
    for (int position = 0; position < kPositions; ++position)
        write(texts_[static_cast<std::size_t>(3 + position)], boxes.lineage[static_cast<std::size_t>(position)]);
    write(indicator_, boxes.indicator);
    for (int i = 0; i < kProfileBoxes; ++i)
        write(pt_[static_cast<std::size_t>(i)], boxes.profileTexts[static_cast<std::size_t>(i)]);
    showChart();
    markRepeatedSires(boxes);
    if (chartNames_)
        chartNames_->refresh();
    if (SubForm* mating = windows_->subForm()) // a blank box keeps what the boxes hold now
        mating->showKept(matingNamesOf(boxes));
}

void MainForm::buildChartNames()
{
    // The horse itself offers its name while it is a stallion; the sire lines always do.
    std::vector<NameBox*> boxes;
    for (int n = 2; n <= 9; ++n)
        if (auto* box = dynamic_cast<NameBox*>(text(n)))
            boxes.push_back(box);
    const auto offers = [this](const QLineEdit* box) {
        return !box->text().trimmed().isEmpty() && (box != text(2) || shown_.stallion);
    };
    ChartNames::Commands commands;
    commands.foals = [this](const std::string& name) { openFoalsOf(name); };
    // The horse shown is the colt or horse of his own record, not a name of the sire list.
    commands.bestMares = [this](const std::string& name, const QLineEdit* box) {
        if (box == text(2) && shown_.stallion)
            openBestMaresFor(*shown_.stallion);
        else
            openBestMares(name);
    };
    commands.useAsSire = [this](const std::string& name, const QLineEdit* box) {
        if (box == text(2) && shown_.stallion)
            useAsSireFromFile(*shown_.stallion);
        else
            useAsSire(name);
    };
    chartNames_ = new ChartNames(std::move(boxes), offers, std::move(commands), this);
    const auto key = [this](QKeyCombination keys, void (MainForm::*slot)()) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(Qt::ALT | Qt::Key_Left, &MainForm::goBack);
    key(Qt::ALT | Qt::Key_Right, &MainForm::goForward);
}

void MainForm::useAsSire(const std::string& sire) { windows_->useAsSire(sire, matingNamesOf(readBoxes())); }

void MainForm::useAsSireFromFile(const RecordStallion& stallion)
{
    windows_->useAsSireFromFile(stallion, matingNamesOf(readBoxes()));
}

void MainForm::goBack() { showAgain(history_.back()); }

void MainForm::goForward() { showAgain(history_.forward()); }

void MainForm::showAgain(const std::optional<ShownEntry>& entry)
{
    if (!entry) {
        seam().beep(); // nothing further that way
        return;
    }
    // The identifiers behind a new breeding file may be other horses: the
    // history is of the old one, and went with it (see the constructor).
    if (entry->id != 0 && session_->refreshIfChanged() != DataSession::Refresh::Unchanged) {
        seam().beep();
        return;
    }
    showingAgain_ = true;
    if (entry->id != 0) {
        searchID_->setText(QString::number(entry->id));
        goClick();
    } else {
        // Shown again as it was: his own record for a Sire of the breeding file, and her name.
        const ChosenMating mating{entry->mating, entry->stallion, entry->mare};
        if (SubForm* window = windows_->subForm())
            window->setChosen(mating);
        submitChosen(mating);
    }
    showingAgain_ = false;
}

void MainForm::markRepeatedSires(const MainBoxes& boxes)
{
    // Each box of a name that stands in more than one place: a mark, and its places in the tooltip.
    std::array<QString, kPositions> notes;
    for (const RepeatedSire& repeated : repeatedSires(boxes.lineage))
        for (const int position : repeated.positions)
            notes[static_cast<std::size_t>(position)] =
                QStringLiteral("Repeated sire: ") + fromLatin1(repeated.notation);
    for (int position = 0; position < kPositions; ++position)
        if (auto* box = dynamic_cast<NameBox*>(texts_[static_cast<std::size_t>(3 + position)]))
            box->setNote(notes[static_cast<std::size_t>(position)]);
}

void MainForm::clear()
{
    MainBoxes boxes = readBoxes();
    clearBoxes(boxes);
    writeBoxes(boxes);
}

void MainForm::goClick()
{
    // A breeding file that cannot be cut now: start-up has said why, and the
    // buckets of the old one must not answer for it.
    if (session_->refreshIfChanged() == DataSession::Refresh::Failed)
        return;
    requestedID_ = searchID_->text().toInt(); // at most six digits, or empty (0)
    MainBoxes boxes = readBoxes();
    GoOutcome outcome;
    {
        BusyCursor busy;
        LookUpOutcome looked = goCuttingAgain(boxes, folder(), chefs(), requestedID_);
        if (looked.cutAgain)
            emit session_->changed(); // the search reads the index made anew
        outcome = std::move(looked.go);
    }
    if (!outcome.beep) {
        shown_.clear();
        shown_.lookedUpLine = identifierLine(requestedID_, outcome.found, !outcome.error.empty());
        shown_.horse = outcome.found ? requestedID_ : 0;
        if (outcome.found && outcome.horse) {
            if (const StallionLookup him = stallionOf(*outcome.horse); him.status == Outcome::Done)
                shown_.stallion = him.stallion;
            else if (canBePlannedAsMare(outcome.horse->sex))
                shown_.mare = {outcome.horse->id, outcome.horse->name};
        }
        showForWhom();
    }
    if (outcome.found && !showingAgain_)
        history_.add(ShownEntry{requestedID_, {}, std::nullopt, {}});
    writeBoxes(boxes);
    if (!outcome.beep)
        windows_->mainShowsHorse(outcome.found);
    if (outcome.beep)
        seam().beep();
    warnAboutBucket(outcome.error);
}

void MainForm::warnAboutBucket(const std::string& error)
{
    if (!error.empty())
        seam().warning(this, QStringLiteral("Quindle"),
                       QStringLiteral("The horse could not be looked up.\n\n") + QString::fromStdString(error));
}

void MainForm::hypoMateClick() { windows_->openMatingWindow(matingNamesOf(readBoxes())); }

int MainForm::fittingZoom(int percent) const
{
    const QScreen* where = screen();
    return where ? ui::fittingZoom(percent, QSize(px(chartShown() ? kWidthWithPane : kWindowWidth), px(kWindowHeight)),
                                   where->availableGeometry().size())
                 : std::clamp(percent, kZoomMin, kZoomMax);
}

void MainForm::setZoom(int percent)
{
    zoom_ = fittingZoom(percent); // a zoom larger than the screen is not offered
    applyZoom(this, zoom_);
    if (isVisible())
        placeOnScreen(this, frameGeometry().topLeft(), this); // grown, it stays on its screen
    windows_->applyZoom();
    saveZoom(zoom_);
}

void MainForm::showEvent(QShowEvent* event)
{
    // A zoom remembered from a larger screen is lowered to fit this one, and
    // kept for the larger screen.
    if (const int fitting = fittingZoom(zoom_); fitting != zoom_) {
        zoom_ = fitting;
        applyZoom(this, zoom_);
    }
    QWidget::showEvent(event);
}

void MainForm::bringToFront()
{
    raise();
    activateWindow();
}

void MainForm::submitMating(const MatingNames& names) { submitChosen(ChosenMating{names, std::nullopt, {}}); }

ChosenMating MainForm::forShown(ChosenMating mating) const
{
    // Blank boxes keep the dam's side of the mare shown: the foal is hers.
    if (mating.mare.id == 0 && shown_.mare.id != 0 && mating.names[1].empty() && mating.names[2].empty())
        mating.mare = shown_.mare;
    // Every name as the foal has it, so the comparison adds exactly this foal.
    mating.names = keptNames(readBoxes(), mating.names);
    return mating;
}

void MainForm::showForWhom()
{
    // For whom the foal shown is, in the title bar: the fixed boxes stay as they are.
    QString title = QStringLiteral("QUINDLE v" QUINDLE_VERSION);
    if (shown_.chosen && shown_.chosen->mare.id != 0)
        title += QStringLiteral(" \u2014 foal for %1 (horse %2)")
                     .arg(fromLatin1(shown_.chosen->mare.name))
                     .arg(shown_.chosen->mare.id);
    if (shown_.chosen && shown_.chosen->stallion)
        title +=
            QStringLiteral(" \u2014 Sire %1").arg(QString::fromStdString(stallionOrigin(*shown_.chosen->stallion)));
    setWindowTitle(title);
}

void MainForm::submitChosen(const ChosenMating& chosen)
{
    const ChosenMating mating = forShown(chosen);
    MainBoxes boxes = readBoxes();
    std::string error;
    {
        BusyCursor busy;
        error = quindle::submitChosen(boxes, mating, folder().sireList(), chefs());
    }
    shown_.clear(); // a foal now, not the horse looked up
    shown_.chosen = mating;
    showForWhom();
    // The foal's own three names: a blank one kept what its box held.
    if (!showingAgain_)
        history_.add(ShownEntry{0, MatingNames{boxes.lineage[0], boxes.lineage[2], boxes.lineage[6]}, mating.stallion,
                                mating.mare});
    searchID_->clear();
    writeBoxes(boxes);
    windows_->mainShowsFoal();
    if (!error.empty())
        seam().warning(this, QStringLiteral("Quindle"),
                       QStringLiteral("The sire list could not be read to the end.\n\n") +
                           QString::fromStdString(error));
}

void MainForm::watchBreedingFile(std::string stampPath) { session_->data().watch(std::move(stampPath)); }

void MainForm::chooseDataFolder()
{
    if (session_->chooseFolder(this))
        activateWindow(); // back from the dialog and the progress window
}

void MainForm::folderReplaced()
{
    // Nothing of the old folder stays on screen: the ID, the horse and its numbers.
    searchID_->clear();
    MainBoxes boxes;
    clearBoxes(boxes);
    writeBoxes(boxes);
    if (SubForm* mating = windows_->subForm())
        mating->subClearClick();
    shown_.clear();
    showForWhom();
    chartNames_->refresh();
    showDataFolder();
}

void MainForm::showDataFolder()
{
    setToolTip(QStringLiteral("Data folder: %1").arg(QString::fromStdString(folder().dir())));
}

void MainForm::about()
{
    const std::string& stampPath = session_->data().stampPath();
    seam().information(this, QStringLiteral("About Quindle"),
                       QStringLiteral("Quindle %1\n\nData folder: %2\nStamp file: %3\n\n"
                                      "Ctrl+O chooses another data folder.")
                           .arg(QStringLiteral(QUINDLE_VERSION), QString::fromStdString(folder().dir()),
                                QString::fromStdString(stampPath.empty() ? kStampFileName : stampPath)));
}

void MainForm::showChosenMating(const ChosenMating& mating)
{
    if (SubForm* window = windows_->subForm())
        window->setChosen(mating);
    submitChosen(mating);
    bringToFront();
}

void MainForm::showHorse(std::int32_t id)
{
    searchID_->setText(QString::number(id));
    goClick();
    bringToFront();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == searchID_ && event->type() == QEvent::KeyPress)
        return searchKeyPress(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool MainForm::searchKeyPress(QKeyEvent* event)
{
    if (handleHomeEnd(searchID_, event))
        return true;
    const char16_t code = characterCode(event);
    if (code == 0)
        return false;
    const int selectionStart = searchID_->hasSelectedText() ? searchID_->selectionStart() : searchID_->cursorPosition();
    switch (idKeyAction(code, selectionStart)) {
    case IdKeyAction::Pass:
        return false;
    case IdKeyAction::SelectAll:
        searchID_->selectAll();
        return true;
    case IdKeyAction::GoThenRefuse:
        goClick();
        seam().beep();
        return true;
    case IdKeyAction::Refuse:
        seam().beep();
        return true;
    }
    return false;
}

void MainForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // A raised border around the client area.
    QPainter painter(this);
    const auto at = [this](int twips) { return zoomed(px(twips), zoom_); };
    const QRect r(QPoint(at(120), at(120)), QPoint(at(7320), at(6720)));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

void MainForm::closeEvent(QCloseEvent* event)
{
    windows_->closeAll();
    QWidget::closeEvent(event);
}

} // namespace quindle::ui
