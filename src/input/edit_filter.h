#pragma once
// The two input boxes share one scheme: after every change the whole text is
// cleaned and checked; a text that passes is kept, otherwise the last accepted
// text comes back. Either way the caret keeps its distance from the end of the
// text. These functions hold the rules; the window only applies their outcome.
// Texts are UTF-16 and carets count UTF-16 units, as the window's boxes do.
#include <string>
#include <string_view>

namespace quindle {

struct EditOutcome {
    std::u16string text; // what the box must show
    int caret = 0;       // where its caret must stand, always within the text
    bool accepted = false;
    bool operator==(const EditOutcome&) const = default;
};

// The ID box: blanks, tabs and line breaks are removed; the rest must be digits.
bool checkDigits(std::u16string_view text);
EditOutcome filterIdEdit(std::u16string_view raw, int caret, std::u16string_view lastGood);

// The name boxes: a line feed is dropped, a tab or carriage return becomes a
// space, a to z become A to Z, leading spaces go; the rest must be in the name
// alphabet (space ' ( ) - . and A to Z). A text longer than kLongestName is refused.
inline constexpr int kLongestName = 32767;
bool checkChars(std::u16string_view text);
EditOutcome filterNameEdit(std::u16string_view raw, int caret, std::u16string_view lastGood);

// Whether a name as the files hold it (Latin-1 bytes) passes the name boxes'
// filter: one with an accented letter or a digit does not.
bool fitsNameBox(std::string_view latin1);
// What the name alphabet holds, as the windows tell it (kept with inNameAlphabet).
inline constexpr const char* kNameBoxLetters = "the letters A to Z, spaces and ' ( ) - .";

// Upper-cases a to z only; the name alphabet has no other letters.
char16_t toUpperAscii(char16_t c);

} // namespace quindle
