#include "input/key_rules.h"

namespace quindle {

namespace {
bool isPassedControl(char16_t code) { return code == 8 || code == 3 || code == 22 || code == 24 || code == 26; }
} // namespace

IdKeyAction idKeyAction(char16_t code, int selectionStart)
{
    if (code == 1)
        return IdKeyAction::SelectAll;
    if (isPassedControl(code))
        return IdKeyAction::Pass;
    if (code == 13)
        return IdKeyAction::GoThenRefuse;
    if (code >= u'1' && code <= u'9')
        return IdKeyAction::Pass;
    if (code == u'0')
        return selectionStart == 0 ? IdKeyAction::Refuse : IdKeyAction::Pass; // no leading zero
    return IdKeyAction::Refuse;
}

NameKeyAction nameKeyAction(char16_t code)
{
    if (code == 1)
        return NameKeyAction::SelectAll;
    if (code == 13)
        return NameKeyAction::SubmitThenPass;
    return NameKeyAction::Pass;
}

} // namespace quindle
