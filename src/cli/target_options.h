#pragma once
// The target of a plan as typed: --di, --cd, --min-total, --sort and --top, which
// `sires`, `season` and `mares` take alike and read one way.
#include <optional>
#include <string>
#include <string_view>

#include "arguments.h"
#include "planner/plan_query.h"

namespace quindle::cli {

struct TargetOptions {
    std::optional<std::string> di, cd, minTotal, sort, top;
};
// Takes the target's options, as typed, from the command line.
void readTargetOptions(const Arguments& args, TargetOptions& options);

// The planner's query from them; nullopt after naming the bad one on standard
// error as an option of `command`.
std::optional<PlanQuery> planQueryOf(const char* command, const TargetOptions& options);

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
