#pragma once
// Finding the game's data folder on a start without --data-dir, and the
// folder a start from the desktop keeps its state in.
#include <string>
#include <vector>

#include "data/data_folder.h"

namespace quindle {

// What the search looks at, read from the environment by hintsFromEnvironment.
struct FolderHints {
    std::string remembered; // the folder the player chose last time, or empty
    std::string home;       // the home folder, or empty
    std::string winePrefix; // $WINEPREFIX, or empty
};
FolderHints hintsFromEnvironment(std::string remembered);

// "~" and "~/..." against the home folder (as menu editors leave them); any
// other text as it is.
std::string expandHome(const std::string& dir, const std::string& home);

// The folders to try, in order: the one chosen last time, ~/pdg, then the
// game's folder inside Wine prefixes (its name in any letter case, as Windows
// names are); on Windows C:\pdg\ in place of the last two.
std::vector<std::string> candidateFolders(const FolderHints& hints);

// True when ChefTable, QN_SireList and breeding.txt are all in the folder.
bool holdsDataFiles(const DataFolder& folder);

// The first candidate that holds the three files; else the platform's default
// folder, so that a missing file is named where players look first.
DataFolder findDataFolder(const FolderHints& hints);

// The folder a --data-dir option names (a leading ~ expanded), or the one
// findDataFolder finds when the option is not given or empty: one rule for the
// window and the command line.
DataFolder chooseDataFolder(const std::string& option, const FolderHints& hints);

// Where a start from the desktop menu keeps its stamp: $XDG_STATE_HOME/quindle
// (~/.local/state/quindle without it), made when missing. Empty when it cannot
// be made.
std::string stateFolder();
// Where start-up keeps the stamp file: the working folder, or with
// --state-folder the state folder (the working folder when it cannot be made).
std::string stampPathFor(bool inStateFolder);

} // namespace quindle
