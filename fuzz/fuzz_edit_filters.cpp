// Both edit filters with any text, caret and last good text: the box must hold
// only allowed characters and the caret must lie within the text.
#include <cstdint>
#include <cstring>
#include <string>

#include "input/edit_filter.h"

namespace {
bool validName(const std::u16string& s) { return quindle::checkChars(s) && (s.empty() || s[0] != u' '); }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const bool nameBox = data[0] & 1;
    const int caret = static_cast<std::int8_t>(data[1]) * 4;
    const std::size_t split = data[2] % (size - 3 + 1);
    std::u16string raw, lastGood;
    for (std::size_t i = 3; i + 1 < size; i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        (i - 3 < split ? raw : lastGood) += c;
    }
    // The last good text is always one the filter itself accepted.
    lastGood = nameBox ? quindle::filterNameEdit(lastGood, 0, u"").text : quindle::filterIdEdit(lastGood, 0, u"").text;
    const quindle::EditOutcome out =
        nameBox ? quindle::filterNameEdit(raw, caret, lastGood) : quindle::filterIdEdit(raw, caret, lastGood);
    if (out.caret < 0 || out.caret > static_cast<int>(out.text.size()))
        __builtin_trap();
    if (nameBox ? !validName(out.text) : !quindle::checkDigits(out.text))
        __builtin_trap();
    if (!out.accepted && out.text != lastGood)
        __builtin_trap();
    return 0;
}
