#include "ui/sub_form.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "input/edit_filter.h"
#include "input/key_rules.h"
#include "ui/box_filter.h"
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
        sires_->attach(box);
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

    setTabOrder(boxes_[0], boxes_[1]);
    setTabOrder(boxes_[1], boxes_[2]);
    setTabOrder(boxes_[2], submit_);
    setTabOrder(submit_, clear_);
    boxes_[0]->setFocus();
}

void SubForm::compareClick()
{
    MatingNames names;
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = toLatin1(boxes_[i]->text().trimmed());
    if (names[0].empty() && names[1].empty() && names[2].empty()) {
        seam().beep(); // nothing typed to compare
        return;
    }
    emit comparisonAsked(Candidate{0, names, {}, {}});
}

QString SubForm::lastGoodName(int index) const { return guards_[static_cast<std::size_t>(index)]->lastGood(); }

void SubForm::submitClick()
{
    MatingNames names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        QLineEdit* box = boxes_[i];
        while (box->text().endsWith(QLatin1Char(' ')))
            box->setText(box->text().chopped(1)); // through the filter, like an edit
        names[i] = toLatin1(box->text());
    }
    emit submitted(names);
}

void SubForm::setNames(const MatingNames& names)
{
    // Through the filter, like a paste; a name it cannot take empties its box
    // rather than leave another horse's name beside the mating shown.
    for (std::size_t i = 0; i < names.size(); ++i)
        boxes_[i]->setText(fitsNameBox(names[i]) ? fromLatin1(names[i]) : QString());
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
