#include "export/mare_csv.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "dosage/repeated_sires.h"
#include "export/text_forms.h"

namespace quindle {

std::string_view MareCsvWriter::row(const MareRow& row)
{
    const std::string repeats = repeatsText(mares_.lineage(row));
    const std::string& numbers = mares_.numbersOf(row).csv;
    std::size_t bound = 16 + numbers.size() + csvFieldBound(repeats.size()) + kCsvPadding;
    for (int t = 0; t < kMareTexts; ++t)
        bound += 1 + csvFieldBound(row.sizes[static_cast<std::size_t>(t)]);
    if (line_.size() < bound)
        line_.resize(2 * bound);
    char* end = std::to_chars(line_.data(), line_.data() + 11, row.id).ptr;
    for (int t = 0; t < kMareTexts; ++t) {
        *end++ = ',';
        // The texts lie in the padded text of the rows: copied in blocks.
        end = writeCsvFieldPadded(end, mares_.textOf(row, static_cast<MareText>(t)));
    }
    *end++ = ',';
    end = std::copy(numbers.begin(), numbers.end(), end);
    *end++ = ',';
    end = writeCsvField(end, repeats);
    *end++ = '\n';
    return {line_.data(), static_cast<std::size_t>(end - line_.data())};
}

} // namespace quindle
