#include "data/folder_search.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

#ifndef _WIN32 // Wine prefixes are looked into on Linux only
bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The folders named pdg in any letter case inside a prefix's drive_c.
void addGameFolders(std::vector<std::string>& out, const std::string& prefix)
{
    if (prefix.empty())
        return;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(prefix) / "drive_c", ec), end; !ec && it != end; it.increment(ec))
        if (sameIgnoringCase(it->path().filename().string(), "pdg") && it->is_directory(ec))
            out.push_back(it->path().string());
}
#endif

} // namespace

FolderHints hintsFromEnvironment(std::string remembered)
{
#ifdef _WIN32
    return {std::move(remembered), environmentValue("USERPROFILE"), ""};
#else
    return {std::move(remembered), environmentValue("HOME"), environmentValue("WINEPREFIX")};
#endif
}

std::string expandHome(const std::string& dir, const std::string& home)
{
    if (home.empty() || dir.empty() || dir[0] != '~' || (dir.size() > 1 && dir[1] != '/'))
        return dir;
    return home + dir.substr(1);
}

std::vector<std::string> candidateFolders(const FolderHints& hints)
{
    std::vector<std::string> out;
    if (!hints.remembered.empty())
        out.push_back(hints.remembered);
#ifdef _WIN32
    out.push_back(DataFolder::platformDefault().dir());
#else
    if (!hints.home.empty())
        out.push_back(hints.home + "/pdg");
    addGameFolders(out, hints.winePrefix);
    if (!hints.home.empty() && hints.winePrefix != hints.home + "/.wine")
        addGameFolders(out, hints.home + "/.wine");
#endif
    return out;
}

bool holdsDataFiles(const DataFolder& folder)
{
    std::error_code ec;
    for (const std::string& file : {folder.chefTable(), folder.sireList(), folder.breedingFile()})
        if (!fs::is_regular_file(fsPath(file), ec))
            return false;
    return true;
}

DataFolder findDataFolder(const FolderHints& hints)
{
    for (const std::string& dir : candidateFolders(hints))
        if (holdsDataFiles(DataFolder(dir)))
            return DataFolder(dir);
    return DataFolder::platformDefault();
}

DataFolder chooseDataFolder(const std::string& option, const FolderHints& hints)
{
    return option.empty() ? findDataFolder(hints) : DataFolder(expandHome(option, hints.home));
}

std::string stateFolder()
{
#ifdef _WIN32
    std::string base = environmentValue("LOCALAPPDATA");
    if (base.empty())
        return {};
#else
    std::string base = environmentValue("XDG_STATE_HOME");
    if (base.empty() || base[0] != '/') { // a relative value is to be ignored
        const std::string home = environmentValue("HOME");
        if (home.empty())
            return {};
        base = home + "/.local/state";
    }
#endif
    // UTF-8 in and out: on Windows the user's name in the path may lie outside the code page.
    const fs::path dir = fsPath(base) / "quindle";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return fs::is_directory(dir, ec) ? utf8Path(dir) : std::string();
}

std::string stampPathFor(bool inStateFolder)
{
    const std::string state = inStateFolder ? stateFolder() : std::string();
    return state.empty() ? std::string(kStampFileName) : utf8Path(fsPath(state) / kStampFileName);
}

} // namespace quindle
