#pragma once
// The text forms Quindle writes, for quindle-cli and the windows alike: JSON
// strings, CSV fields (names Latin-1 in, UTF-8 out) and the main window's boxes as JSON.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "export/boxes_text.h"
#include "main_state/main_boxes.h"
#include "dosage/repeated_sires.h"
#include "data/chef_table.h"
#include "data/records.h"

namespace quindle {

// A JSON string literal (UTF-8 in, quotes included).
std::string jsonString(std::string_view utf8);
// A CSV field with RFC 4180 quoting when it needs it.
std::string csvField(std::string_view utf8);
std::string colourHex(Rgb colour);
// Writes a Latin-1 text as a CSV field in UTF-8 at `out`, quoted when it needs
// it, and returns its end: at most csvFieldBound(latin1.size()) bytes.
char* writeCsvField(char* out, std::string_view latin1);
constexpr std::size_t csvFieldBound(std::size_t size) { return 2 * size + 2; }
// The same appended to a string.
void appendCsvField(std::string& out, std::string_view latin1);
// The same as writeCsvField, for a text followed by at least kCsvPadding bytes
// that can be read, written at `out` with room for csvFieldBound(size) plus
// kCsvPadding bytes: a text of up to that many bytes that needs neither quotes
// nor conversion (most names) is then checked and copied in whole blocks.
inline constexpr std::size_t kCsvPadding = 32;
char* writeCsvFieldPadded(char* out, std::string_view latin1);
// Appends a box text without its leading and trailing blanks.
void appendTrimmed(std::string& out, std::string_view text);

// What writeCsvField looks for in a field (bit 0: it is quoted; bit 1: a byte
// is not written as it stands), callable so that bench/trick_gains can pick the
// texts writeCsvField gets. Not for other use.
namespace detail {
unsigned csvFieldNeeds(std::string_view latin1);
} // namespace detail

// The repeated sires as a JSON list of {"name", "places", "notation"}.
std::string repeatsJson(const std::vector<RepeatedSire>& repeats);

// One JSON object (no line end); `prefix` holds leading members such as "id".
// It ends with the repeated sires of the lineage boxes ("repeats").

// One JSON object (no line end); `prefix` holds leading members such as "id",
// `suffix` members after the boxes' own.
std::string boxesJson(const MainBoxes& boxes, const std::string& prefix = "", const std::string& suffix = "");

// The horse (or foal) the boxes show, in members named for scripts, after a
// comma: "name", "age" and "sex" (null for a foal), "pedigree" (the seven
// sire-line names by place) and "profile" (the group totals B, I, C, S, P,
// "total", "speed", "stamina", "cd" and "di" as numbers; "di" "INF" when
// infinite, "cd" and "di" null without points). All null when nothing is shown.
std::string namedMembersJson(const MainBoxes& boxes, const ChefTable& chefs, const HorseRecord* horse);

} // namespace quindle
