#include "stable/stable_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "data/latin1_text.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/system_paths.h"
#include "input/id_list.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

// A stable of a hundred thousand horses is still far below this.
constexpr std::size_t kLargestFile = std::size_t{64} << 20;

std::optional<std::string> utf8ToLatin1(const std::string& utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size()) {
            out += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return std::nullopt; // the parser has checked the UTF-8: this is past U+00FF
        }
    }
    return out;
}

// 64-bit FNV-1a: small, and the same on every system and run.
std::uint64_t fnv1a(std::string_view text)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return hash;
}

StableRead damaged(const std::string& path, const std::string& what)
{
    StableRead out;
    out.status = Outcome::Failed;
    out.error = path + ": " + what;
    return out;
}

} // namespace

const StableEntry* Stable::find(std::int32_t id) const
{
    const auto at = std::find_if(horses.begin(), horses.end(), [id](const StableEntry& e) { return e.id == id; });
    return at == horses.end() ? nullptr : &*at;
}

bool Stable::add(std::int32_t id, std::string name)
{
    if (find(id))
        return false;
    horses.push_back({id, std::move(name)});
    return true;
}

bool Stable::remove(std::int32_t id)
{
    const auto at = std::find_if(horses.begin(), horses.end(), [id](const StableEntry& e) { return e.id == id; });
    if (at == horses.end())
        return false;
    horses.erase(at);
    return true;
}

StableRead parseStable(std::string_view text, const std::string& path)
{
    // JSON keeps the last of a member written twice; in a file edited by hand
    // that would drop horses without a word, so it is refused instead.
    std::vector<std::unordered_set<std::string>> members; // of each object open
    std::string twice;
    const auto watch = [&](int, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
        using Event = nlohmann::json::parse_event_t;
        if (event == Event::object_start)
            members.emplace_back();
        else if (event == Event::object_end)
            members.pop_back();
        else if (event == Event::key && !members.back().insert(parsed.get<std::string>()).second && twice.empty())
            twice = parsed.get<std::string>();
        return true;
    };
    const nlohmann::json document = nlohmann::json::parse(text, watch, false);
    if (document.is_discarded())
        return damaged(path, "not JSON (or not UTF-8)");
    if (!twice.empty())
        return damaged(path, "the member " + nlohmann::json(twice).dump() + " is written twice in one object");
    if (!document.is_object() || !document.contains("horses") || !document["horses"].is_array())
        return damaged(path, "not a list of horses: an object with a member \"horses\" holding a list");
    StableRead out;
    out.status = Outcome::Done;
    std::unordered_set<std::int32_t> seen;
    std::size_t number = 0;
    for (const nlohmann::json& horse : document["horses"]) {
        const std::string which = "horse " + std::to_string(++number);
        if (!horse.is_object())
            return damaged(path, which + " is not an object with \"id\" and \"name\"");
        const auto id = horse.find("id");
        if (id == horse.end() || !id->is_number_integer())
            return damaged(path, which + " has no whole-number \"id\"");
        const std::int64_t value = id->get<std::int64_t>();
        if (value < 1 || value > kLargestId)
            return damaged(path, which + ": " + id->dump() + " is not a horse identifier (1 to 6 digits, not 0)");
        const auto name = horse.find("name");
        if (name == horse.end() || !name->is_string())
            return damaged(path, which + " (ID " + std::to_string(value) + ") has no \"name\" text");
        const auto latin1 = utf8ToLatin1(name->get<std::string>());
        if (!latin1)
            return damaged(path,
                           which + " (ID " + std::to_string(value) + "): the name holds a letter that is not Latin-1");
        const auto id32 = static_cast<std::int32_t>(value);
        if (!seen.insert(id32).second)
            return damaged(path, "the ID " + std::to_string(value) + " is listed twice (again as " + which + ")");
        out.stable.horses.push_back({id32, *latin1});
    }
    return out;
}

StableRead readStable(const std::string& path)
{
    std::error_code ec;
    if (!fs::exists(fsPath(path), ec) && !ec)
        return {};
    try {
        const std::vector<char> bytes = readWholeFile(path, 0, kLargestFile);
        return parseStable(std::string_view(bytes.data(), bytes.size()), path);
    } catch (const FileError& e) {
        StableRead out;
        out.status = Outcome::Failed;
        out.error = e.what();
        out.unread = e.kind() != FileError::Kind::Content; // not opened; a file too large is read as damaged
        return out;
    }
}

std::string stableText(const Stable& stable, const std::string& dataFolder)
{
    // The folder is there for the player to read; a path that is no UTF-8 (a
    // Latin-1 home folder) has its odd bytes shown as replacement signs.
    const std::string folder =
        nlohmann::json(dataFolder).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string out = "{\n  \"dataFolder\": " + folder + ",\n  \"horses\": [";
    for (std::size_t i = 0; i < stable.horses.size(); ++i) {
        const StableEntry& horse = stable.horses[i];
        out += i ? ",\n    " : "\n    ";
        out += "{\"id\": " + std::to_string(horse.id) +
               ", \"name\": " + nlohmann::json(latin1ToUtf8(horse.name)).dump() + "}";
    }
    return out + (stable.horses.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

std::string appDataFolder()
{
#ifdef _WIN32
    const std::string base = environmentValue("APPDATA");
    if (base.empty())
        return {};
    return utf8Path(fsPath(base) / "quindle" / "quindle");
#else
    // As Qt has it: $XDG_DATA_HOME as it stands when set, else the home folder's .local/share.
    std::string base = environmentValue("XDG_DATA_HOME");
    if (base.empty()) {
        std::string home = environmentValue("HOME");
        if (home.empty())
            return {};
        home = fs::path(home).lexically_normal().string();
        while (home.size() > 1 && home.back() == '/')
            home.pop_back();
        base = home + "/.local/share";
    }
    return base + "/quindle/quindle";
#endif
}

std::string stableFileFor(const DataFolder& folder, const std::string& appData)
{
    std::error_code ec;
    fs::path dir = fs::absolute(fsPath(folder.dir()), ec);
    if (ec)
        dir = fsPath(folder.dir());
    dir = dir.lexically_normal();
    std::string key = utf8Path(dir);
    while (key.size() > 1 && (key.back() == '/' || key.back() == '\\'))
        key.pop_back();
#ifdef _WIN32
    for (char& c : key) // Windows paths ignore letter case
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
#endif
    std::string name;
    for (const char c : utf8Path(fsPath(key).filename()))
        if (name.size() < 32 &&
            ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            name += c;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(key)));
    return utf8Path(fsPath(appData) /
                    ("horses-" + (name.empty() ? std::string("folder") : name) + "-" + hash + ".json"));
}

std::string stableFileFor(const DataFolder& folder)
{
    const std::string appData = appDataFolder();
    return appData.empty() ? std::string() : stableFileFor(folder, appData);
}

} // namespace quindle
