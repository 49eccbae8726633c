#include "ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <algorithm>

#include "app/look_up.h"
#include "main_state/main_boxes.h"
#include "main_state/shown_profile.h"
#include "data/file_error.h"
#include "data/stamp.h"
#include "dosage/chart_scale.h"
#include "data/startup.h"
#include "dosage/format.h"
#include "dosage/repeated_sires.h"
#include "planner/sire_plan.h"
#include "input/key_rules.h"
#include "ui/edit_guard.h"
#include "ui/busy_cursor.h"
#include "ui/chart_names.h"
#include "ui/horse_copier.h"
#include "ui/fit_text.h"
#include "ui/fonts.h"
#include "ui/horse_card.h"
#include "ui/latin1.h"
#include "export/boxes_text.h"
#include "ui/placement.h"
#include "ui/profile_chart.h"
#include "ui/table_actions.h"
#include "ui/roster_store.h"
#include "ui/stable_store.h"
#include "ui/startup_ui.h"
#include "ui/sub_form.h"
#include "ui/twips.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

namespace {

// The window, and the chart pane that widens it to the right when shown.
constexpr int kWindowWidth = 7470, kWindowHeight = 6855;
constexpr int kPaneLeft = 7440, kPaneTop = 120, kPaneWidth = 2640, kPaneHeight = 6600;
constexpr int kWidthWithPane = kPaneLeft + kPaneWidth + 120;
constexpr const char* kChartPaneKey = "window/chartPane";

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
    boxes_.build(this);
    wireCommands();
    buildChartPane();
    boxes_.name();
    // Each data folder has its own list of the player's horses.
    stable_ = new StableStore(this);
    stable_->open(folder(), this);
    connect(session_, &Session::folderReplaced, this, [this] { stable_->open(folder(), this); });
    roster_ = new RosterStore(this);
    roster_->open(folder(), this);
    connect(session_, &Session::folderReplaced, this, [this] { roster_->open(folder(), this); });
    windows_ = new ChildWindows(
        session_, stable_, roster_, candidates_, shown_, [this] { return zoom_; }, this);
    connect(windows_, &ChildWindows::horseChosen, this, &MainForm::showHorse);
    connect(windows_, &ChildWindows::matingChosen, this, &MainForm::showChosenMating);
    connect(windows_, &ChildWindows::matingSubmitted, this, &MainForm::submitChosen);
    connect(windows_, &ChildWindows::shownToCompare, this, &MainForm::compareShown);
    connect(windows_, &ChildWindows::zoomAsked, this, &MainForm::setZoom);
    // The foal the mating window would show: blank boxes keep the boxes' names, as Submit keeps them.
    connect(windows_, &ChildWindows::typedMatingToCompare, this,
            [this](const ChosenMating& mating) { addToComparison(candidateOf(forShown(mating))); });
    stableCommands_ = new StableCommands(this, stable_, roster_, windows_, [this] { return shown_.horse; });
    card_ = new CardActions(
        this, [this] { return shown_.showsAny(); }, [this] { return shownCard(); });

    // Tab order: the ID box, GO, then the horse and its lineage.
    setTabOrder(boxes_.searchID, boxes_.go);
    setTabOrder(boxes_.go, text(2));
    for (int n = 2; n < 9; ++n)
        setTabOrder(text(n), text(n + 1));
    boxes_.searchID->setFocus();

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

void MainForm::wireCommands()
{
    boxes_.searchID->installEventFilter(this);
    idGuard_ = new EditGuard(boxes_.searchID, filterIdEdit);
    connect(boxes_.go, &QPushButton::clicked, this, &MainForm::goClick);
    connect(boxes_.hypoMate, &QPushButton::clicked, this, &MainForm::hypoMateClick);
    // The planner and the search: their buttons, and Ctrl+M and Ctrl+F.
    connect(boxes_.plan, &QPushButton::clicked, this, &MainForm::openPlanner);
    connect(boxes_.find, &QPushButton::clicked, this, &MainForm::openSearch);
    const auto key = [this](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_M), [this] { openPlanner(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_F), [this] { openSearch(); });
    // The data folder: Ctrl+O chooses another, F1 says which one is read.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
            &MainForm::chooseDataFolder);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, &MainForm::about);
    showDataFolder();
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
    return cardOf(chart, boxes_.ageSex->text(), readBoxes(), folder(), session_->data().sourceStamp(), title, identity);
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

QLineEdit* MainForm::text(int n) const { return boxes_.texts[static_cast<std::size_t>(n)]; }

QString MainForm::lastGoodID() const { return idGuard_->lastGood(); }

MainBoxes MainForm::readBoxes() const
{
    MainBoxes boxes;
    boxes.horseName = toLatin1(text(2)->text());
    boxes.ageSex = toLatin1(boxes_.ageSex->text());
    for (int position = 0; position < kPositions; ++position)
        boxes.lineage[static_cast<std::size_t>(position)] =
            toLatin1(boxes_.texts[static_cast<std::size_t>(3 + position)]->text());
    boxes.indicator = toLatin1(boxes_.indicator->text());
    for (int i = 0; i < kProfileBoxes; ++i)
        boxes.profileTexts[static_cast<std::size_t>(i)] = toLatin1(boxes_.pt[static_cast<std::size_t>(i)]->text());
    boxes.horseColour = text2Colour_;
    boxes.ageSexColour = ageSexColour_;
    return boxes;
}

void MainForm::writeBoxes(const MainBoxes& boxes)
{
    setBoxColour(text(2), boxes.horseColour);
    setBoxColour(boxes_.ageSex, boxes.ageSexColour);
    text2Colour_ = boxes.horseColour;
    ageSexColour_ = boxes.ageSexColour;
    auto write = [](QLineEdit* box, const std::string& value) {
        const QString text = fromLatin1(value);
        if (box->text() != text)
            box->setText(text);
    };
    write(text(2), boxes.horseName);
    write(boxes_.ageSex, boxes.ageSex);
    for (int position = 0; position < kPositions; ++position)
        write(boxes_.texts[static_cast<std::size_t>(3 + position)], boxes.lineage[static_cast<std::size_t>(position)]);
    write(boxes_.indicator, boxes.indicator);
    for (int i = 0; i < kProfileBoxes; ++i)
        write(boxes_.pt[static_cast<std::size_t>(i)], boxes.profileTexts[static_cast<std::size_t>(i)]);
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
        boxes_.searchID->setText(QString::number(entry->id));
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
        if (auto* box = dynamic_cast<NameBox*>(boxes_.texts[static_cast<std::size_t>(3 + position)]))
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
    requestedID_ = boxes_.searchID->text().toInt(); // at most six digits, or empty (0)
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
    boxes_.searchID->clear();
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
    boxes_.searchID->clear();
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
    boxes_.searchID->setText(QString::number(id));
    goClick();
    bringToFront();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == boxes_.searchID && event->type() == QEvent::KeyPress)
        return searchKeyPress(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool MainForm::searchKeyPress(QKeyEvent* event)
{
    if (handleHomeEnd(boxes_.searchID, event))
        return true;
    const char16_t code = characterCode(event);
    if (code == 0)
        return false;
    const int selectionStart =
        boxes_.searchID->hasSelectedText() ? boxes_.searchID->selectionStart() : boxes_.searchID->cursorPosition();
    switch (idKeyAction(code, selectionStart)) {
    case IdKeyAction::Pass:
        return false;
    case IdKeyAction::SelectAll:
        boxes_.searchID->selectAll();
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
