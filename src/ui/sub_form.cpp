#include "ui/sub_form.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "input/edit_filter.h"
#include "input/key_rules.h"
#include "ui/edit_guard.h"
#include "ui/fit_text.h"
#include "ui/fonts.h"
#include "ui/latin1.h"
#include "ui/session.h"
#include "ui/sire_completer.h"
#include "ui/twips.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

SubForm::SubForm(Session* session, QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setAttribute(Qt::WA_DeleteOnClose); // closing discards the boxes
    setWindowTitle(QStringLiteral("Enter Lineage"));
    setFixedSize(px(4185), px(1500));
    setFont(windowFont()); // the main window's face, which fits the captions
    sires_ = new SireCompleter([session] { return session->folder().sireList(); }, this);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);

    const int tops[] = {120, 600, 1080};
    const char* captions[] = {"Sire", "Dam-Sire", "Dam's Dam-Sire"};
    const int captionWidths[] = {615, 855, 1455};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QLineEdit(this);
        box->setGeometry(twipsRect(120, tops[i], 2535, 285));
        box->installEventFilter(this);
        // One more than the filter takes, so that an overlong paste reaches the
        // filter and is refused instead of being cut down by the box.
        box->setMaxLength(kLongestName + 1);
        boxes_[static_cast<std::size_t>(i)] = box;
        guards_[static_cast<std::size_t>(i)] = new EditGuard(box, filterNameEdit);
        sires_->attach(box, guards_[static_cast<std::size_t>(i)]);
        auto* label = new FitLabel(QString::fromLatin1(captions[i]), this);
        label->setGeometry(twipsRect(2760, tops[i], captionWidths[i], 255));
    }
    submit_ = new FitButton(QStringLiteral("Submit"), this);
    submit_->setGeometry(twipsRect(3360, 120, 735, 375));
    submit_->setAutoDefault(false);
    connect(submit_, &QPushButton::clicked, this, &SubForm::submitClick);
    clear_ = new FitButton(QStringLiteral("Clear"), this);
    clear_->setGeometry(twipsRect(3600, 600, 495, 375));
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, &SubForm::subClearClick);

    // The mating planner, from here as from the main window.
    auto* plan = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    connect(plan, &QShortcut::activated, this, &SubForm::plannerRequested);
    // The typed mating into the comparison: Ctrl+Shift+A, or the window's context menu.
    auto* compare = new QAction(QStringLiteral("Add to Comparison"), this);
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    compare->setShortcutContext(Qt::WindowShortcut);
    connect(compare, &QAction::triggered, this, &SubForm::compareClick);
    addAction(compare);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(boxes_[0], &QLineEdit::textChanged, this, &SubForm::showSireOrigin);

    setTabOrder(boxes_[0], boxes_[1]);
    setTabOrder(boxes_[1], boxes_[2]);
    setTabOrder(boxes_[2], submit_);
    setTabOrder(submit_, clear_);
    boxes_[0]->setFocus();
}

void SubForm::compareClick()
{
    const ChosenMating mating = chosen();
    if (mating.names[0].empty() && mating.names[1].empty() && mating.names[2].empty()) {
        seam().beep(); // nothing typed to compare
        return;
    }
    emit comparisonAsked(mating);
}

QString SubForm::lastGoodName(int index) const { return guards_[static_cast<std::size_t>(index)]->lastGood(); }

void SubForm::submitClick()
{
    for (QLineEdit* box : boxes_)
        while (box->text().endsWith(QLatin1Char(' '))) {
            const QString before = box->text();
            box->setText(box->text().chopped(1)); // through the filter, like an edit
            if (box->text() == before)
                break; // a name taken whole stays as it is
        }
    emit submitted(chosen());
}

ChosenMating SubForm::chosen() const
{
    ChosenMating mating;
    for (std::size_t i = 0; i < mating.names.size(); ++i) {
        QString name = boxes_[i]->text();
        while (name.endsWith(QLatin1Char(' ')))
            name.chop(1); // as Submit leaves it
        mating.names[i] = toLatin1(name);
    }
    if (const RecordStallion* stallion = sireFromFile()) {
        mating.stallion = *stallion;
        mating.names[0] = stallion->name;
    }
    if (picked_ && picked_->names == mating.names)
        mating.mare = picked_->mare;
    return mating;
}

void SubForm::setNames(const MatingNames& names)
{
    // Picked, not typed: each name is taken whole, so none is cut or refused
    // and no other horse's name stays beside the mating shown.
    for (std::size_t i = 0; i < names.size(); ++i)
        guards_[i]->takeWhole(fromLatin1(names[i]));
}

void SubForm::setChosen(const ChosenMating& mating)
{
    setNames(mating.names);
    fromFile_ = mating.stallion;
    picked_ = mating;
    showSireOrigin();
}

void SubForm::useSireFromFile(const RecordStallion& stallion)
{
    fromFile_ = stallion;
    guards_[0]->takeWhole(fromLatin1(stallion.name));
    showSireOrigin();
}

const RecordStallion* SubForm::sireFromFile() const
{
    return fromFile_ && boxes_[0]->text() == fromLatin1(fromFile_->name) ? &*fromFile_ : nullptr;
}

void SubForm::showSireOrigin()
{
    // The player sees which line counts: his own record, not the sire list's.
    const RecordStallion* stallion = sireFromFile();
    const QString origin = stallion ? QString::fromStdString(stallionOrigin(*stallion)) : QString();
    setWindowTitle(origin.isEmpty() ? QStringLiteral("Enter Lineage")
                                    : QStringLiteral("Enter Lineage \u2014 Sire %1").arg(origin));
    boxes_[0]->setToolTip(origin.isEmpty() ? QString() : QStringLiteral("Sire %1").arg(origin));
}

void SubForm::showKept(const MatingNames& kept)
{
    for (std::size_t i = 0; i < kept.size(); ++i)
        boxes_[i]->setPlaceholderText(fromLatin1(kept[i]));
}

void SubForm::subClearClick()
{
    for (QLineEdit* box : boxes_)
        box->clear();
}

bool SubForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    return handleNameKey(box, static_cast<QKeyEvent*>(event), [this] { submitClick(); });
}

} // namespace quindle::ui
