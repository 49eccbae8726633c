#pragma once
// What a typed character does in the two kinds of input box, by its character
// code (1 = Ctrl+A, 3/22/24/26 = Ctrl+C/V/X/Z, 8 = Backspace, 13 = Enter).
namespace quindle {

enum class IdKeyAction {
    Pass,         // the box handles the key as usual
    SelectAll,    // select the whole text, insert nothing
    GoThenRefuse, // run GO, then refuse the key with a beep
    Refuse,       // beep, insert nothing
};
// `selectionStart` is the caret, or the start of the selection.
IdKeyAction idKeyAction(char16_t code, int selectionStart);

enum class NameKeyAction {
    Pass,           // the box handles the (upper-cased) character as usual
    SelectAll,      // select the whole text, insert nothing
    SubmitThenPass, // submit the mating, then treat the key as usual
};
NameKeyAction nameKeyAction(char16_t code);

} // namespace quindle
