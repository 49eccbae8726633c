#pragma once
// The target of a plan as typed: --target, --di, --cd, --min-total, --sort and
// --top, which `sires`, `season` and `mares` take alike and read one way.
#include <optional>
#include <string>
#include <string_view>

#include "app/saved_targets.h"
#include "arguments.h"
#include "planner/plan_query.h"

namespace quindle::cli {

struct TargetOptions {
    std::optional<std::string> di, cd, minTotal, sort, top;
    std::optional<std::string> target; // a target by name: built in, or saved by the player
};
// Takes the target's options, as typed, from the command line.
void readTargetOptions(const Arguments& args, TargetOptions& options);

// The planner's query from them; nullopt after naming the bad one on standard
// error as an option of `command`. A named target gives what the options typed
// beside it do not; with `named`, that target is put there.
std::optional<PlanQuery> planQueryOf(const char* command, const TargetOptions& options,
                                     std::optional<SavedTarget>* named = nullptr);

// Says on standard error that `command` refuses the value of an option, and
// what it expected; returns the exit code for a usage error.
int badArgument(const char* command, const std::string& option, const std::string& value, const char* expected);

// The column's name of --sort COLUMN[,desc|asc], the order put into
// `descending` when one is given; nullopt after naming an order that is neither.
std::optional<std::string> sortKey(const char* command, const std::string& sort, bool& descending);

// Reads --sort COLUMN[,desc|asc] into `column` (named as `parse` takes it) and
// `descending`; false after naming what is wrong. `columns` lists the names.
template <class Column>
bool readSort(const char* command, const std::string& sort, std::optional<Column> (*parse)(std::string_view),
              const char* columns, std::optional<Column>& column, bool& descending)
{
    const auto key = sortKey(command, sort, descending);
    if (!key)
        return false;
    if (!(column = parse(*key))) {
        badArgument(command, "--sort", sort, (std::string("unknown column (") + columns + ")").c_str());
        return false;
    }
    return true;
}

} // namespace quindle::cli
