#include "app/saved_targets.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "data/file_error.h"
#include "data/fold_case.h"
#include "data/input_file.h"
#include "data/system_paths.h"
#include "planner/best_mares.h"
#include "planner/named_targets.h"
#include "stable/stable_file.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

// More names than any player keeps; a longer list is damaged.
constexpr std::size_t kMostTargets = 1000;
constexpr std::size_t kLongestName = 100;

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

std::string boundText(const std::optional<double>& bound)
{
    if (!bound)
        return {};
    if (std::isinf(*bound))
        return *bound > 0 ? "INF" : "-INF";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *bound).ptr; // the shortest that reads back the same
    return std::string(text, end);
}

Json rangeJson(const std::optional<ValueRange>& range)
{
    return range ? Json(boundText(range->min) + ":" + boundText(range->max)) : Json(nullptr);
}

// A range member: null or absent for none, else "MIN:MAX".
bool readRange(const Json& entry, const char* key, std::optional<ValueRange>& range, std::string& why)
{
    const auto at = entry.find(key);
    if (at == entry.end() || at->is_null())
        return true;
    if (at->is_string())
        range = parseRange(at->get<std::string>());
    if (!range)
        why = std::string("\"") + key + "\" is not a range \"MIN:MAX\"";
    return range.has_value();
}

std::optional<SavedTarget> readEntry(const Json& entry, std::string& why)
{
    if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string()) {
        why = "a target without a name";
        return std::nullopt;
    }
    SavedTarget target;
    target.name = trimmed(entry["name"].get<std::string>());
    if (target.name.empty() || target.name.size() > kLongestName) {
        why = "a target's name is blank or longer than " + std::to_string(kLongestName) + " letters";
        return std::nullopt;
    }
    const std::string where = " (target \"" + target.name + "\")";
    if (!readRange(entry, "di", target.di, why) || !readRange(entry, "cd", target.cd, why)) {
        why += where;
        return std::nullopt;
    }
    if (const auto total = entry.find("minTotal"); total != entry.end() && !total->is_null()) {
        if (!total->is_number() || total->get<double>() < 0) {
            why = "\"minTotal\" is not a number of points" + where;
            return std::nullopt;
        }
        target.minTotal = total->get<double>();
    }
    target.sort = std::string();
    if (const auto sort = entry.find("sort"); sort != entry.end() && !sort->is_null()) {
        // A column of the planner's, or of the best mares' (saved there: "age").
        const auto known = [](const std::string& key) { return parseColumn(key) || parseMareColumn(key); };
        if (!sort->is_string() || (!sort->get<std::string>().empty() && !known(sort->get<std::string>()))) {
            why = "\"sort\" is not a column" + where;
            return std::nullopt;
        }
        target.sort = sort->get<std::string>();
    }
    if (const auto down = entry.find("descending"); down != entry.end()) {
        if (!down->is_boolean()) {
            why = "\"descending\" is not true or false" + where;
            return std::nullopt;
        }
        target.descending = down->get<bool>();
    }
    return target;
}

const SavedTarget* findIn(const std::vector<SavedTarget>& targets, std::string_view name)
{
    for (const SavedTarget& target : targets)
        if (equalFolded(target.name, name))
            return &target;
    return nullptr;
}

TargetChange failed(std::string message) { return {Outcome::Failed, std::move(message)}; }

} // namespace

const SavedTarget* SavedTargets::find(std::string_view name) const { return findIn(targets, trimmed(name)); }

std::string savedTargetsFile()
{
    const std::string appData = appDataFolder();
    return appData.empty() ? std::string() : utf8Path((fsPath(appData) / "targets.json").make_preferred());
}

std::string savedTargetsText(const SavedTargets& saved)
{
    std::string out = "{\n  \"targets\": [";
    for (std::size_t i = 0; i < saved.targets.size(); ++i) {
        const SavedTarget& target = saved.targets[i];
        Json entry;
        entry["name"] = target.name;
        entry["di"] = rangeJson(target.di);
        entry["cd"] = rangeJson(target.cd);
        entry["minTotal"] = target.minTotal ? Json(*target.minTotal) : Json(nullptr);
        entry["sort"] = target.sort.value_or("");
        entry["descending"] = target.descending;
        out += (i ? ",\n    " : "\n    ") + entry.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    return out + (saved.targets.empty() ? "]" : "\n  ]") + "\n}\n";
}

std::optional<SavedTargets> parseSavedTargets(std::string_view text, std::string& why)
{
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::exception& e) {
        why = std::string("not JSON: ") + e.what();
        return std::nullopt;
    }
    if (!json.is_object() || !json.contains("targets") || !json["targets"].is_array()) {
        why = "no list of \"targets\"";
        return std::nullopt;
    }
    if (json["targets"].size() > kMostTargets) {
        why = "more than " + std::to_string(kMostTargets) + " targets";
        return std::nullopt;
    }
    SavedTargets saved;
    for (const Json& entry : json["targets"]) {
        auto target = readEntry(entry, why);
        if (!target)
            return std::nullopt;
        if (findIn(saved.targets, target->name)) {
            why = "the name \"" + target->name + "\" twice";
            return std::nullopt;
        }
        saved.targets.push_back(std::move(*target));
    }
    return saved;
}

SavedTargetsRead readSavedTargets(const std::string& path)
{
    SavedTargetsRead out;
    std::error_code ec;
    if (path.empty() || (!fs::exists(fsPath(path), ec) && !ec))
        return out;
    try {
        const std::vector<char> bytes = readWholeFile(path, 0, kLargestTargetsFile);
        out.text.assign(bytes.data(), bytes.size());
    } catch (const FileError& e) {
        out.status = Outcome::Failed;
        out.error = e.what();
        out.unread = e.kind() != FileError::Kind::Content;
        return out;
    }
    std::string why;
    auto saved = parseSavedTargets(out.text, why);
    if (!saved) {
        out.status = Outcome::Failed;
        out.error = path + ": " + why;
        return out;
    }
    out.status = Outcome::Done;
    out.saved = std::move(*saved);
    return out;
}

std::optional<SavedTarget> findTarget(std::string_view name, const SavedTargets& saved)
{
    if (const auto builtIn = findNamedTarget(trimmed(name)))
        return SavedTarget{std::string(builtIn->name), builtIn->di, builtIn->cd, std::nullopt, std::nullopt, false};
    if (const SavedTarget* own = saved.find(name))
        return *own;
    return std::nullopt;
}

std::string targetNames(const SavedTargets& saved)
{
    std::string names(namedTargetNames());
    for (const SavedTarget& target : saved.targets)
        names += ", " + target.name;
    return names;
}

void applyTarget(const SavedTarget& target, PlanQuery& query)
{
    query.di = target.di;
    query.cd = target.cd;
    if (!target.sort)
        return; // a built-in target names ranges alone
    query.minTotal = target.minTotal;
    const auto column = parseColumn(*target.sort);
    if (!target.sort->empty() && !column)
        return; // an order of the best mares' own ("age"): the planner's stays as it is
    query.sortBy = column;
    query.descending = target.descending;
}

TargetBook::TargetBook()
    : file_(
          {"Your saved targets", "the list of targets"}, kLargestTargetsFile,
          [this](std::string_view text) {
              std::string why;
              auto parsed = parseSavedTargets(text, why);
              if (!parsed)
                  return file_.path() + ": " + why;
              saved_ = std::move(*parsed);
              return std::string();
          },
          [this] { saved_ = {}; })
{
}

TargetChange TargetBook::open(std::string path)
{
    const KeptOpen opened = file_.open(std::move(path));
    return {opened.status, opened.message};
}

bool TargetBook::catchUp() { return file_.catchUp().has_value(); }

TargetChange TargetBook::change(const std::function<TargetChange(SavedTargets&)>& edit)
{
    SavedTargets next;
    TargetChange result;
    const KeptChange written = file_.change([&]() -> std::optional<std::string> {
        next = saved_; // as the file holds it now
        result = edit(next);
        if (result.status != Outcome::Done)
            return std::nullopt;
        return savedTargetsText(next);
    });
    switch (written.status) {
    case KeptChange::Status::Written:
        saved_ = std::move(next);
        if (!written.message.empty())
            result.message = written.message + (result.message.empty() ? "" : "\n\n" + result.message);
        return result;
    case KeptChange::Status::Declined:
        return result;
    case KeptChange::Status::Failed:
        break;
    }
    return failed(written.message);
}

TargetChange TargetBook::save(SavedTarget target)
{
    target.name = trimmed(target.name);
    if (target.name.empty())
        return failed("A target needs a name.");
    if (target.name.size() > kLongestName)
        return failed("A target's name takes at most " + std::to_string(kLongestName) + " letters.");
    if (findNamedTarget(target.name))
        return failed("\"" + target.name + "\" is the name of a target Quindle knows already: choose another name.");
    if (!target.sort)
        target.sort = std::string();
    return change([&](SavedTargets& next) {
        for (SavedTarget& kept : next.targets)
            if (equalFolded(kept.name, target.name)) {
                kept = target;
                return TargetChange{Outcome::Done, "\"" + target.name + "\" is saved in place of the one before."};
            }
        next.targets.push_back(target);
        return TargetChange{};
    });
}

TargetChange TargetBook::remove(std::string_view name)
{
    const std::string wanted = trimmed(name);
    return change([&](SavedTargets& next) {
        for (auto at = next.targets.begin(); at != next.targets.end(); ++at)
            if (equalFolded(at->name, wanted)) {
                next.targets.erase(at);
                return TargetChange{};
            }
        return TargetChange{Outcome::Absent, "There is no saved target \"" + wanted + "\"."};
    });
}

} // namespace quindle
