#pragma once
// The data the program has open: the data folder, its chef table, where the
// stamp file is kept and the breeding file as it was last cut. The windows
// share one session; the command line starts up once and needs none.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/startup.h"

namespace quindle {

class DataSession {
public:
    // How start-up is run on a folder: the windows run it with the progress
    // window and their messages; by default it runs quietly.
    using StartUp = std::function<StartupResult(const DataFolder& folder, const std::string& stampPath)>;

    // A session on a folder start-up found ready, holding its chef table.
    DataSession(DataFolder folder, ChefTable chefs, StartUp startUp = {});

    const DataFolder& folder() const { return folder_; }
    const ChefTable& chefs() const { return *chefs_; }
    // The same table, for work beside the windows: it stays alive while the
    // session moves on to a newer one.
    std::shared_ptr<const ChefTable> sharedChefs() const { return chefs_; }
    // Where start-up keeps the stamp file; empty while the breeding file is not watched.
    const std::string& stampPath() const { return stampPath_; }
    // The breeding file's stamp when it was last cut; nullopt when it was not there.
    const std::optional<std::string>& cutStamp() const { return cutStamp_; }
    // The stamp of the breeding file answers come from: the one last cut while it
    // is watched (the game may have written another since), else the one there now.
    std::optional<std::string> sourceStamp() const;

    // How later start-ups run (a refresh, another folder).
    void setStartUp(StartUp startUp) { startUp_ = std::move(startUp); }

    // From now on refreshIfChanged() checks the breeding file against the one
    // there now, which start-up has just cut.
    void watch(std::string stampPath);

    enum class Refresh {
        Unchanged, // the breeding file is the one cut (or it is not watched)
        CutAgain,  // a new breeding file was cut; the chef table was read again
        Failed,    // start-up said why not; the next refresh tries again
    };
    // Cuts the breeding file again when the game wrote a new one since it was
    // last cut, so that nothing is answered from the old buckets.
    Refresh refreshIfChanged();

    // Starts up on another folder, keeping the stamp file where it was (or in
    // the working folder when it was not watched). When start-up is ready the
    // session reads and watches that folder from now on; false when it is not.
    bool replaceFolder(const DataFolder& folder);

private:
    StartupResult startUp(const DataFolder& folder, const std::string& stampPath) const;
    void take(DataFolder folder, StartupResult& ready, std::string stampPath);

    DataFolder folder_;
    std::shared_ptr<const ChefTable> chefs_;
    StartUp startUp_;
    std::string stampPath_;
    std::optional<std::string> cutStamp_;
};

} // namespace quindle
