#include "ui/session.h"

#include "ui/startup_ui.h"

namespace quindle::ui {

Session::Session(DataSession data, QObject* parent) : QObject(parent), data_(std::move(data))
{
    // The progress window during a split, the messages of a failure.
    data_.setStartUp(
        [](const DataFolder& folder, const std::string& stampPath) { return startUpShowing(folder, stampPath); });
}

DataSession::Refresh Session::refreshIfChanged()
{
    const DataSession::Refresh refresh = data_.refreshIfChanged();
    if (refresh == DataSession::Refresh::CutAgain)
        emit changed();
    return refresh;
}

bool Session::chooseFolder(QWidget* parent)
{
    const std::string chosen = askForDataFolder(parent);
    if (chosen.empty())
        return false;
    const DataFolder folder(chosen);
    if (!data_.replaceFolder(folder)) // start-up said what is missing or wrong
        return false;
    rememberDataFolder(folder);
    emit folderReplaced();
    emit changed();
    return true;
}

} // namespace quindle::ui
