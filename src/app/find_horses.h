#pragma once
// Find, as the search window and `quindle-cli find` both do it: the name index
// of the data folder's breeding file (cut again with the whole file when the
// index cannot be used), then the horses whose name holds the text typed.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "data/data_folder.h"
#include "data/outcome.h"
#include "search/name_index.h"
#include "search/name_search.h"

namespace quindle {

struct NameIndexRead {
    Outcome status = Outcome::Done; // Failed: `error` says why, in UTF-8
    std::string error;
    std::shared_ptr<const NameIndex> index;
};
NameIndexRead readNameIndexCuttingAgain(const DataFolder& folder);

struct HorsesFound {
    // Done: at least one name holds the text; Absent: none does.
    Outcome status = Outcome::Absent;
    FoundNames names; // at most `limit` of them, best first, and the count of all
};
// `text` is Latin-1; an empty text finds nothing.
HorsesFound findHorses(const NameIndex& index, std::string_view text, std::size_t limit);

} // namespace quindle
