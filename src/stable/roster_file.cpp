#include "stable/roster_file.h"

#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "data/file_error.h"
#include "data/input_file.h"
#include "data/latin1_text.h"
#include "data/system_paths.h"
#include "input/id_list.h"
#include "stable/stable_file.h"
#include "stable/stable_reader.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

// The members of `object` other than `known`, as the text of an object; empty when there are none.
std::string extraOf(const Json& object, std::initializer_list<const char*> known)
{
    Json extra = Json::object();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return it.key() == k; }))
            extra[it.key()] = it.value();
    return extra.empty() ? std::string() : extra.dump();
}

// ", MEMBERS" of an object's text "{MEMBERS}", to follow the members written first.
std::string extraText(const std::string& extra)
{
    return extra.size() > 2 ? ", " + extra.substr(1, extra.size() - 2) : std::string();
}

std::optional<RosterEntry> entryOf(const Json& item, std::size_t number, std::string& why)
{
    const std::string where = "stallion " + std::to_string(number) + ": ";
    if (!item.is_object()) {
        why = where + "not an object with a \"name\"";
        return std::nullopt;
    }
    RosterEntry entry;
    const auto name = item.find("name");
    if (name == item.end() || !name->is_string() || name->get_ref<const std::string&>().empty()) {
        why = where + "no \"name\" string";
        return std::nullopt;
    }
    const auto latin1 = utf8ToLatin1(name->get_ref<const std::string&>());
    if (!latin1) {
        why = where + "the name " + name->dump() + " holds a letter the game's files cannot";
        return std::nullopt;
    }
    entry.name = *latin1;
    if (const auto id = item.find("id"); id != item.end()) {
        if (!id->is_number_integer() || id->get<std::int64_t>() < 1 || id->get<std::int64_t>() > kLargestId) {
            why = where + "\"id\" is not a horse's ID (1 to " + std::to_string(kLargestId) + ")";
            return std::nullopt;
        }
        entry.id = static_cast<std::int32_t>(id->get<std::int64_t>());
    }
    if (const auto book = item.find("book"); book != item.end() && !book->is_null()) {
        if (!book->is_number_integer() || book->get<std::int64_t>() < 0 || book->get<std::int64_t>() > 999999) {
            why = where + "\"book\" is not a whole number of mares from 0";
            return std::nullopt;
        }
        entry.book = static_cast<std::uint32_t>(book->get<std::int64_t>());
    }
    entry.extra = extraOf(item, {"id", "name", "book"});
    return entry;
}

} // namespace

std::optional<RosterKey> parseRosterKey(std::string_view text)
{
    if (!text.starts_with('#'))
        return text.empty() ? std::nullopt : std::optional<RosterKey>(RosterKey{0, std::string(text)});
    const IdList parsed = parseIdList(text.substr(1));
    if (parsed.ids.size() != 1 || !parsed.refused.empty())
        return std::nullopt;
    return RosterKey{parsed.ids[0], {}};
}

const RosterEntry* Roster::find(const RosterKey& key) const
{
    const auto at =
        std::find_if(stallions.begin(), stallions.end(), [&](const RosterEntry& e) { return e.matches(key); });
    return at == stallions.end() ? nullptr : &*at;
}

RosterEntry* Roster::find(const RosterKey& key)
{
    return const_cast<RosterEntry*>(static_cast<const Roster&>(*this).find(key));
}

std::optional<Roster> parseRoster(std::string_view text, std::string& why)
{
    if (const auto complex = jsonTooComplex(text)) {
        why = *complex;
        return std::nullopt;
    }
    Json file;
    try {
        file = Json::parse(text);
    } catch (const Json::parse_error& e) {
        why = "not JSON at " + jsonPlaceOf(text, e.byte > 0 ? e.byte - 1 : 0);
        return std::nullopt;
    }
    const auto list = file.is_object() ? file.find("stallions") : file.end();
    if (!file.is_object() || list == file.end() || !list->is_array()) {
        why = "not a roster: an object with a member \"stallions\" holding a list";
        return std::nullopt;
    }
    Roster roster;
    for (std::size_t i = 0; i < list->size(); ++i) {
        auto entry = entryOf((*list)[i], i + 1, why);
        if (!entry)
            return std::nullopt;
        if (roster.find({entry->id, entry->id != 0 ? std::string() : entry->name})) {
            why = "stallion " + std::to_string(i + 1) + ": " + latin1ForMessage(entry->keyText()) +
                  " is in the roster twice";
            return std::nullopt;
        }
        roster.stallions.push_back(std::move(*entry));
    }
    roster.extra = extraOf(file, {"dataFolder", "stallions"});
    return roster;
}

RosterRead readRoster(const std::string& path)
{
    RosterRead out;
    std::error_code ec;
    if (!fs::exists(fsPath(path), ec) && !ec)
        return out;
    out.status = Outcome::Failed;
    try {
        const std::vector<char> bytes = readWholeFile(path, 0, kLargestRosterFile);
        std::string why;
        auto roster = parseRoster(std::string_view(bytes.data(), bytes.size()), why);
        if (!roster) {
            out.error = path + ": " + why;
            return out;
        }
        out.roster = std::move(*roster);
        out.status = Outcome::Done;
    } catch (const FileError& e) {
        out.error = e.what();
    }
    return out;
}

std::string rosterText(const Roster& roster, const std::string& dataFolder)
{
    const std::string folder = Json(dataFolder).dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out = "{\n  \"dataFolder\": " + folder + ",\n  \"stallions\": [";
    for (std::size_t i = 0; i < roster.stallions.size(); ++i) {
        const RosterEntry& entry = roster.stallions[i];
        out += i ? ",\n    {" : "\n    {";
        if (entry.id != 0)
            out += "\"id\": " + std::to_string(entry.id) + ", ";
        out += "\"name\": " + Json(latin1ToUtf8(entry.name)).dump();
        if (entry.book)
            out += ", \"book\": " + std::to_string(*entry.book);
        out += extraText(entry.extra) + "}";
    }
    out += roster.stallions.empty() ? "]" : "\n  ]";
    const std::string extra = extraText(roster.extra);
    return out + (extra.empty() ? "" : ",\n  " + extra.substr(2)) + "\n}\n";
}

std::string rosterFileFor(const DataFolder& folder, const std::string& appData)
{
    fs::path path = fsPath(stableFileFor(folder, appData));
    std::string name = utf8Path(path.filename());
    if (name.starts_with("horses-"))
        name.replace(0, 7, "roster-");
    return utf8Path(path.replace_filename(fsPath(name)));
}

std::string rosterFileFor(const DataFolder& folder)
{
    const std::string appData = appDataFolder();
    return appData.empty() ? std::string() : rosterFileFor(folder, appData);
}

} // namespace quindle
