#include "main_state/shown_history.h"

namespace quindle {

void ShownHistory::add(const ShownEntry& entry)
{
    if (!entries_.empty()) {
        if (entries_[position_] == entry)
            return;
        entries_.resize(position_ + 1);
    }
    entries_.push_back(entry);
    if (entries_.size() > kLongest)
        entries_.erase(entries_.begin());
    position_ = entries_.size() - 1;
}

std::optional<ShownEntry> ShownHistory::back()
{
    if (!canGoBack())
        return std::nullopt;
    return entries_[--position_];
}

std::optional<ShownEntry> ShownHistory::forward()
{
    if (!canGoForward())
        return std::nullopt;
    return entries_[++position_];
}

} // namespace quindle
