#pragma once
// Start-up as the window runs it: the progress window during a split, the
// "File Error" warning for a missing file, a message for any other error.
#include <functional>
#include <optional>
#include <string>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/startup.h"

class QWidget;

namespace quindle::ui {

// Start-up with the progress window during a split and the message of a
// failure or a warning already shown; the result says why it stopped.
StartupResult startUpShowing(const DataFolder& folder, const std::string& stampPath);
// The same with `run` in the place of runStartup. It runs on a thread of its
// own while this thread's events are handled, so the progress window paints
// from its first moment and moves as the buckets are cut; the observer's calls
// come back to this thread in order.
using StartupRun = std::function<StartupResult(const DataFolder&, const std::string&, const SplitObserver&)>;
StartupResult startUpShowing(const DataFolder& folder, const std::string& stampPath, const StartupRun& run);

// The chef table when the program may go on; nullopt after the message was shown.
std::optional<ChefTable> startUp(const DataFolder& folder, const std::string& stampPath);

// Start-up that does not end at a missing file: after the "File Error" warning
// the player may choose another folder (which is remembered once it holds the
// three files) until start-up succeeds; nullopt when the player cancels or
// start-up fails for another reason.
struct Started {
    DataFolder folder;
    ChefTable chefs;
};
std::optional<Started> startUpChoosingFolder(DataFolder folder, const std::string& stampPath);

// The folder chosen last time, empty when none; and remembering one.
std::string rememberedDataFolder();
void rememberDataFolder(const DataFolder& folder);
// Asks for a folder; empty when cancelled.
std::string askForDataFolder(QWidget* parent);

} // namespace quindle::ui
