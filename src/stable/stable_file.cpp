#include "stable/stable_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <nlohmann/json.hpp>

#include "data/latin1_text.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/system_paths.h"
#include "stable/stable_reader.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

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
    std::string why;
    std::optional<Stable> stable = readStableText(text, why);
    if (!stable)
        return damaged(path, why);
    StableRead out;
    out.status = Outcome::Done;
    out.stable = std::move(*stable);
    return out;
}

StableRead readStable(const std::string& path, std::string* text)
{
    std::error_code ec;
    if (!fs::exists(fsPath(path), ec) && !ec)
        return {};
    try {
        const std::vector<char> bytes = readWholeFile(path, 0, kLargestStableFile);
        if (text)
            text->assign(bytes.data(), bytes.size());
        return parseStable(std::string_view(bytes.data(), bytes.size()), path);
    } catch (const FileError& e) {
        StableRead out;
        out.status = Outcome::Failed;
        out.error = e.what();
        out.unread = e.kind() != FileError::Kind::Content; // not opened; a file too large is read as damaged
        return out;
    }
}

namespace {

// ", MEMBERS" of an object's text "{MEMBERS}", to follow the members written first.
std::string extraText(const std::string& extra)
{
    return extra.size() > 2 ? ", " + extra.substr(1, extra.size() - 2) : std::string();
}

} // namespace

std::string stableText(const Stable& stable, const std::string& dataFolder)
{
    // The folder is there for the player to read; a path that is no UTF-8 (a
    // Latin-1 home folder) has its odd bytes shown as replacement signs.
    const std::string folder = Json(dataFolder).dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out = "{\n  \"dataFolder\": " + folder + ",\n  \"horses\": [";
    for (std::size_t i = 0; i < stable.horses.size(); ++i) {
        const StableEntry& horse = stable.horses[i];
        out += i ? ",\n    " : "\n    ";
        out += "{\"id\": " + std::to_string(horse.id) + ", \"name\": " + Json(latin1ToUtf8(horse.name)).dump() +
               extraText(horse.extra) + "}";
    }
    out += stable.horses.empty() ? "]" : "\n  ]";
    const std::string extra = extraText(stable.extra);
    return out + (extra.empty() ? "" : ",\n  " + extra.substr(2)) + "\n}\n";
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

namespace {

// The file name of the list kept for the folder whose path is `dir`.
std::string listFileName(fs::path dir)
{
    std::string key = utf8Path(dir.lexically_normal());
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
    return "horses-" + (name.empty() ? std::string("folder") : name) + "-" + hash + ".json";
}

// The folder as it was named, made absolute: the key lists were kept under before links were resolved.
fs::path namedPath(const DataFolder& folder)
{
    std::error_code ec;
    fs::path dir = fs::absolute(fsPath(folder.dir()), ec);
    return ec ? fsPath(folder.dir()) : dir;
}

fs::path canonicalPath(const DataFolder& folder)
{
    std::error_code ec;
    fs::path dir = fs::weakly_canonical(namedPath(folder), ec);
    return ec ? namedPath(folder) : dir;
}

} // namespace

std::string stableFileFor(const DataFolder& folder, const std::string& appData)
{
    // Written with the system's own separators, as the player sees paths in messages.
    return utf8Path((fsPath(appData) / listFileName(canonicalPath(folder))).make_preferred());
}

std::string stableFileFor(const DataFolder& folder)
{
    const std::string appData = appDataFolder();
    if (appData.empty())
        return {};
    const std::string path = stableFileFor(folder, appData);
    const fs::path older = (fsPath(appData) / listFileName(namedPath(folder))).make_preferred();
    std::error_code ec;
    if (older != fsPath(path) && !fs::exists(fsPath(path), ec) && fs::is_regular_file(older, ec))
        fs::rename(older, fsPath(path), ec); // taken over once; a failure leaves both as they were
    return path;
}

} // namespace quindle
