#include "export/boxes_text.h"

#include "data/blanks.h"
#include "dosage/profile.h"

namespace quindle {

namespace {

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string rightAligned(const std::string& text, std::size_t width)
{
    return std::string(text.size() < width ? width - text.size() : 1, ' ') + text;
}

std::string trimmed(const std::string& text) { return std::string(trimBlanks(text)); }

const char* const kCaptions[kPositions] = {
    "Sire", "Sire's Sire", "Dam-Sire", "Sire's Sire's Sire", "Sire's Dam-Sire", "Dam-Sire's Sire", "Dam's Dam-Sire"};

} // namespace

std::string identifierLine(std::int32_t id, bool found, bool failed)
{
    // A lookup that failed says so: the horse may well be there.
    return "Identifier " + std::to_string(id) +
           (found    ? ""
            : failed ? ": could not be looked up"
                     : ": not found") +
           "\n";
}

std::string boxesPlain(const MainBoxes& boxes)
{
    auto name = [&](int position) { return latin1ToUtf8(boxes.lineage[static_cast<std::size_t>(position)]); };
    std::string out;
    out += "Horse     " + latin1ToUtf8(boxes.horseName) + latin1ToUtf8(boxes.ageSex) + "\n";
    if (!boxes.indicator.empty())
        out += "          " + latin1ToUtf8(boxes.indicator) + "\n";
    out += "Pedigree  Sire " + name(0) + "\n";
    out += "                 Sire's Sire " + name(1) + "\n";
    out += "                     Sire's Sire's Sire " + name(3) + "\n";
    out += "                 Sire's Dam-Sire " + name(4) + "\n";
    out += "          Dam-Sire " + name(2) + "\n";
    out += "                 Dam-Sire's Sire " + name(5) + "\n";
    out += "                 Dam's Dam-Sire " + name(6) + "\n";
    out += "\n" + padded("", 20) + "   B   I   C   S   P\n";
    for (int p = 0; p < kPositions; ++p) {
        std::string row = padded(kCaptions[p], 20);
        for (int g = 0; g < kGroups; ++g) {
            const std::string& text = boxes.profileTexts[static_cast<std::size_t>(kGroups * p + g)];
            row += rightAligned(text.empty() ? "." : text, 4);
        }
        out += row + "\n";
    }
    std::string totals = padded("Quindle Profile", 20);
    for (int g = 0; g < kGroups; ++g) {
        const std::string& text = boxes.profileTexts[static_cast<std::size_t>(kGroupTotalBox + g)];
        totals += rightAligned(text, 4);
    }
    out += totals + "\n\n";
    out += "Total pts (max24) " + trimmed(boxes.profileTexts[kTotalBox]) + "\n";
    out += "CD                " + trimmed(boxes.profileTexts[kCdBox]) + "\n";
    out += "DI                " + trimmed(boxes.profileTexts[kDiBox]) + "\n";
    out += "Speed             " + trimmed(boxes.profileTexts[kSpeedBox]) + "\n";
    out += "Stamina           " + trimmed(boxes.profileTexts[kStaminaBox]) + "\n";
    return out;
}

} // namespace quindle
