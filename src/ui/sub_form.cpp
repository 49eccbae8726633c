#include "ui/sub_form.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "input/key_rules.h"
#include "input/mating.h"
#include "ui/box_filter.h"
#include "ui/busy_cursor.h"
#include "ui/latin1.h"
#include "ui/main_form.h"
#include "ui/twips.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

SubForm::SubForm(MainForm* main) : QWidget(main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), main_(main)
{
    setAttribute(Qt::WA_DeleteOnClose); // closing discards the boxes
    setWindowTitle(QStringLiteral("Enter Lineage"));
    setFixedSize(px(4185), px(1500));

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
        auto* label = new QLabel(QString::fromLatin1(captions[i]), this);
        label->setGeometry(twipsRect(2760, tops[i], captionWidths[i], 255));
    }
    submit_ = new QPushButton(QStringLiteral("Submit"), this);
    submit_->setGeometry(twipsRect(3360, 120, 735, 375));
    submit_->setAutoDefault(false);
    connect(submit_, &QPushButton::clicked, this, &SubForm::submitClick);
    clear_ = new QPushButton(QStringLiteral("Clear"), this);
    clear_->setGeometry(twipsRect(3600, 600, 495, 375));
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, &SubForm::subClearClick);

    setTabOrder(boxes_[0], boxes_[1]);
    setTabOrder(boxes_[1], boxes_[2]);
    setTabOrder(boxes_[2], submit_);
    setTabOrder(submit_, clear_);
    boxes_[0]->setFocus();
}

QString SubForm::lastGoodName(int index) const { return guards_[static_cast<std::size_t>(index)]->lastGood(); }

void SubForm::submitClick()
{
    std::array<std::string, 3> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        QLineEdit* box = boxes_[i];
        while (box->text().endsWith(QLatin1Char(' ')))
            box->setText(box->text().chopped(1)); // through the filter, like an edit
        names[i] = toLatin1(box->text());
    }
    MainBoxes boxes = main_->readBoxes();
    std::string error;
    {
        BusyCursor busy;
        error = submitMating(boxes, names, main_->folder().sireList(), main_->chefs());
    }
    main_->searchID()->clear();
    main_->writeBoxes(boxes);
    if (!error.empty())
        seam().warning(this, QStringLiteral("Quindle"),
                       QStringLiteral("The sire list could not be read to the end.\n\n") +
                           QString::fromLocal8Bit(error.c_str()));
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
    auto* key = static_cast<QKeyEvent*>(event);
    if (handleHomeEnd(box, key))
        return true;
    const char16_t code = characterCode(key);
    if (code == 0)
        return false;
    switch (nameKeyAction(code)) {
    case NameKeyAction::SelectAll:
        box->selectAll();
        return true;
    case NameKeyAction::SubmitThenPass:
        submitClick();
        return true; // a single-line box inserts nothing for Enter
    case NameKeyAction::Pass:
        break;
    }
    const char16_t upper = toUpperAscii(code);
    if (upper != code) {
        box->insert(QString(QChar(upper)));
        return true;
    }
    return false;
}

} // namespace quindle::ui
