#include "planner/repeated_stallions.h"

#include <algorithm>
#include <unordered_map>

#include "data/latin1_text.h"
#include "data/line_ends.h"

namespace quindle {

SireListCounts countSireList(const SireIndex& sires, std::string_view damSire)
{
    SireListCounts out;
    out.stallions = sires.stallions().size();
    const auto& entries = sires.entries();
    // Entries by name; only names met twice are looked at further.
    std::unordered_map<std::string_view, std::vector<std::size_t>> byName;
    for (std::size_t k = 0; k < entries.size(); ++k)
        if (!entries[k].name.empty()) {
            ++out.lines;
            byName[entries[k].name].push_back(k);
        }
    if (out.lines == out.stallions)
        return out;

    std::vector<std::size_t> wanted; // entries whose line numbers are told
    for (const std::string_view name : sires.stallions()) {
        const std::vector<std::size_t>& at = byName[name];
        const bool differ = std::any_of(at.begin() + 1, at.end(), [&](std::size_t k) {
            const SireListView& a = entries[at.front()];
            const SireListView& b = entries[k];
            return a.sire != b.sire || a.damSire != b.damSire || a.sireSire != b.sireSire;
        });
        if (at.size() < 2 || !differ)
            continue;
        SireIndex::SettledBy settledBy;
        sires.scan(sires.find(name), sires.find(damSire), &settledBy);
        RepeatedStallion repeated;
        repeated.name = name;
        repeated.lines = at; // entry numbers for now
        repeated.counting = settledBy.sire < 0 ? at.front() : static_cast<std::size_t>(settledBy.sire);
        wanted.insert(wanted.end(), at.begin(), at.end());
        out.repeated.push_back(std::move(repeated));
    }
    // Entry numbers to line numbers: one walk over the bytes up to the last entry told.
    std::sort(wanted.begin(), wanted.end());
    std::unordered_map<std::size_t, std::size_t> lineOf;
    const char* p = sires.bytes();
    std::size_t line = 1;
    bool afterCr = false;
    for (const std::size_t k : wanted) {
        const char* to = entries[k].name.data();
        for (; p < to; ++p) {
            line += line_ends::endsLine(static_cast<unsigned char>(*p), afterCr);
            afterCr = *p == '\r';
        }
        lineOf[k] = line;
    }
    for (RepeatedStallion& repeated : out.repeated) {
        for (std::size_t& k : repeated.lines)
            k = lineOf[k];
        repeated.counting = lineOf[repeated.counting];
    }
    return out;
}

std::string countsText(const SireListCounts& counts)
{
    std::string text = std::to_string(counts.stallions) + (counts.stallions == 1 ? " stallion" : " stallions");
    if (counts.lines != counts.stallions)
        text += ", " + std::to_string(counts.lines) + " lines";
    return text;
}

std::string repeatedText(const RepeatedStallion& repeated)
{
    std::string lines;
    for (std::size_t i = 0; i < repeated.lines.size(); ++i)
        lines += (i == 0 ? "" : i + 1 == repeated.lines.size() ? " and " : ", ") + std::to_string(repeated.lines[i]);
    return latin1ToUtf8(repeated.name) + " stands on lines " + lines + "; line " + std::to_string(repeated.counting) +
           " counts";
}

} // namespace quindle
