#include "session/data_session.h"

#include "data/file_error.h"
#include "data/stamp.h"

namespace quindle {

namespace {
std::optional<std::string> stampNow(const DataFolder& folder)
{
    try {
        return stampTextOf(folder.breedingFile());
    } catch (const FileError&) {
        return std::nullopt; // not a file any more: start-up names it
    }
}
} // namespace

DataSession::DataSession(DataFolder folder, ChefTable chefs, StartUp startUp)
    : folder_(std::move(folder)),
      chefs_(std::make_shared<const ChefTable>(std::move(chefs))),
      startUp_(std::move(startUp))
{
}

std::optional<std::string> DataSession::sourceStamp() const
{
    return stampPath_.empty() ? stampNow(folder_) : cutStamp_;
}

void DataSession::watch(std::string stampPath)
{
    stampPath_ = std::move(stampPath);
    cutStamp_ = stampNow(folder_);
}

StartupResult DataSession::startUp(const DataFolder& folder, const std::string& stampPath) const
{
    return startUp_ ? startUp_(folder, stampPath) : runStartup(folder, stampPath, {});
}

void DataSession::take(DataFolder folder, StartupResult& ready, std::string stampPath)
{
    folder_ = std::move(folder);
    chefs_ = std::make_shared<const ChefTable>(std::move(ready.chefs));
    stampPath_ = std::move(stampPath);
    cutStamp_ = std::move(ready.stamp);
}

DataSession::Refresh DataSession::refreshIfChanged()
{
    if (stampPath_.empty())
        return Refresh::Unchanged;
    const std::optional<std::string> now = stampNow(folder_);
    if (now && now == cutStamp_)
        return Refresh::Unchanged;
    StartupResult result = startUp(folder_, stampPath_);
    if (result.status != Outcome::Done)
        return Refresh::Failed;
    take(folder_, result, stampPath_);
    return Refresh::CutAgain;
}

bool DataSession::replaceFolder(const DataFolder& folder)
{
    std::string stampPath = stampPath_.empty() ? std::string(kStampFileName) : stampPath_;
    StartupResult result = startUp(folder, stampPath);
    if (result.status != Outcome::Done)
        return false;
    take(folder, result, std::move(stampPath));
    return true;
}

} // namespace quindle
