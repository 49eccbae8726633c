#pragma once
// How the command line names a stallion: `#ID` for a colt or horse of the
// breeding file (`#` is outside the name alphabet, so it never meets a name),
// a name the sire list holds exactly, whatever its characters, or a name as
// the name box takes it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "main_state/record_stallion.h"
#include "data/data_folder.h"

namespace quindle::cli {

// True for an argument written `#ID`.
bool isStallionId(const std::string& arg);
// The identifier of a `#ID` argument; 0 after saying on standard error that it is none.
std::int32_t stallionIdOf(const std::string& arg);
// The colt or horse behind it, after start-up; nullopt after naming him on standard error.
std::optional<RecordStallion> stallionOfArgument(const DataFolder& folder, std::int32_t id);

// A name the sire list holds exactly (`listed` answers for a Latin-1 name) is
// taken whole; any other goes through the name filter, as nameArgument takes it.
std::optional<std::string> listedNameArgument(const std::string& arg,
                                              const std::function<bool(std::string_view)>& listed);
// Whether a refused name may still be one the list holds, so the refusal waits
// until the list is read: only a name Latin-1 can write can be listed.
bool mayBeListed(const std::string& arg);

} // namespace quindle::cli
