#include "input/edit_filter.h"

#include <algorithm>

namespace quindle {

namespace {

int length(std::u16string_view s) { return static_cast<int>(std::min<std::size_t>(s.size(), 1 << 30)); }

// The common tail of both filters: keep the cleaned text if it passes, else go
// back to the last accepted one; the caret keeps its distance from the end.
EditOutcome decide(std::u16string_view raw, int caret, std::u16string_view lastGood, std::u16string clean, bool passes)
{
    EditOutcome out;
    if (passes) {
        const int cleanCaret = length(clean) + caret - length(raw);
        out.caret = std::clamp(cleanCaret, 0, length(clean));
        out.text = std::move(clean);
        out.accepted = true;
    } else {
        const int revertCaret = caret - length(raw) + length(lastGood);
        out.text.assign(lastGood);
        out.caret = std::clamp(revertCaret, 0, length(lastGood));
    }
    return out;
}

// Told to the player as kNameBoxLetters: change both together.
bool inNameAlphabet(char16_t c)
{
    return c == u' ' || c == u'\'' || c == u'(' || c == u')' || c == u'-' || c == u'.' || (c >= u'A' && c <= u'Z');
}

} // namespace

char16_t toUpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool checkDigits(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

bool checkChars(std::u16string_view text) { return std::all_of(text.begin(), text.end(), inNameAlphabet); }

EditOutcome filterIdEdit(std::u16string_view raw, int caret, std::u16string_view lastGood)
{
    std::u16string clean;
    for (const char16_t c : raw)
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            clean += toUpperAscii(c);
    const bool passes = checkDigits(clean);
    return decide(raw, caret, lastGood, std::move(clean), passes);
}

EditOutcome filterNameEdit(std::u16string_view raw, int caret, std::u16string_view lastGood)
{
    if (raw.size() > static_cast<std::size_t>(kLongestName))
        return decide(raw, caret, lastGood, {}, false);
    std::u16string clean;
    for (const char16_t c : raw) {
        if (c == u'\n')
            continue;
        clean += (c == u'\t' || c == u'\r') ? u' ' : toUpperAscii(c);
    }
    clean.erase(0, std::min(clean.find_first_not_of(u' '), clean.size())); // leading spaces go
    const bool passes = checkChars(clean);
    return decide(raw, caret, lastGood, std::move(clean), passes);
}

bool fitsNameBox(std::string_view latin1)
{
    std::u16string text;
    for (const char c : latin1)
        text += static_cast<char16_t>(static_cast<unsigned char>(c));
    return filterNameEdit(text, 0, u"").accepted;
}

} // namespace quindle
