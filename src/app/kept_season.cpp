#include "app/kept_season.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "data/latin1_text.h"
#include "data/system_paths.h"
#include "input/id_list.h"
#include "lookup/horse_lookup.h"
#include "stable/stable_file.h"

namespace quindle {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

template <class List, class Match>
bool eraseIf(List& list, Match match)
{
    const auto before = list.size();
    std::erase_if(list, match);
    return list.size() != before;
}

} // namespace

const KeptPair* KeptSeason::lockOf(std::int32_t dam) const
{
    const auto found = std::find_if(locks.begin(), locks.end(), [dam](const KeptPair& p) { return p.dam == dam; });
    return found == locks.end() ? nullptr : &*found;
}

const KeptDecision* KeptSeason::decisionOf(std::int32_t dam) const
{
    const auto found =
        std::find_if(decisions.begin(), decisions.end(), [dam](const KeptDecision& d) { return d.pair.dam == dam; });
    return found == decisions.end() ? nullptr : &*found;
}

bool KeptSeason::isRuledOut(const std::string& sire) const
{
    return std::find(ruledOut.begin(), ruledOut.end(), sire) != ruledOut.end();
}

bool KeptSeason::isRuledOut(std::int32_t dam, const std::string& sire) const
{
    return std::any_of(ruledOutPairs.begin(), ruledOutPairs.end(),
                       [&](const KeptPair& p) { return p.dam == dam && p.sire == sire; });
}

void KeptSeason::lock(const KeptPair& pair)
{
    unlock(pair.dam);
    allow(pair);
    locks.push_back(pair);
}

void KeptSeason::ruleOut(const KeptPair& pair)
{
    eraseIf(locks, [&](const KeptPair& p) { return p.dam == pair.dam && p.sire == pair.sire; });
    if (!isRuledOut(pair.dam, pair.sire))
        ruledOutPairs.push_back(pair);
}

void KeptSeason::ruleOut(const std::string& sire)
{
    if (!isRuledOut(sire))
        ruledOut.push_back(sire);
}

void KeptSeason::decide(const KeptDecision& decision)
{
    clearDecision(decision.pair.dam);
    decisions.push_back(decision);
}

bool KeptSeason::unlock(std::int32_t dam)
{
    return eraseIf(locks, [dam](const KeptPair& p) { return p.dam == dam; });
}

bool KeptSeason::allow(const KeptPair& pair)
{
    return eraseIf(ruledOutPairs, [&](const KeptPair& p) { return p.dam == pair.dam && p.sire == pair.sire; });
}

bool KeptSeason::allow(const std::string& sire)
{
    return eraseIf(ruledOut, [&](const std::string& s) { return s == sire; });
}

bool KeptSeason::clearDecision(std::int32_t dam)
{
    return eraseIf(decisions, [dam](const KeptDecision& d) { return d.pair.dam == dam; });
}

void KeptSeason::clearRules()
{
    locks.clear();
    ruledOut.clear();
    ruledOutPairs.clear();
    decisions.clear();
}

// ---- The file's text ----

namespace {

const char* const kKnown[] = {"dataFolder", "target", "mares", "roster", "rules", "decisions"};

Json pairJson(const KeptPair& pair)
{
    return Json{{"dam", pair.dam}, {"damName", latin1ToUtf8(pair.damName)}, {"sire", latin1ToUtf8(pair.sire)}};
}

Json pairsJson(const std::vector<KeptPair>& pairs)
{
    Json out = Json::array();
    for (const KeptPair& pair : pairs)
        out.push_back(pairJson(pair));
    return out;
}

} // namespace

std::string keptSeasonText(const KeptSeason& season, const std::string& dataFolder)
{
    Json out = Json::object();
    out["dataFolder"] = dataFolder;
    out["target"] = Json{{"di", {{"min", season.diMin}, {"max", season.diMax}}},
                         {"cd", {{"min", season.cdMin}, {"max", season.cdMax}}},
                         {"minTotal", season.minTotal},
                         {"sort", season.sortBy},
                         {"descending", season.descending},
                         {"named", season.namedTarget},
                         {"perMare", season.perMare}};
    out["mares"] = Json{{"fromStable", season.fromStable}, {"ids", season.ids}};
    out["roster"] = season.useRoster;
    Json ruledOut = Json::array();
    for (const std::string& sire : season.ruledOut)
        ruledOut.push_back(latin1ToUtf8(sire));
    out["rules"] = Json{{"onePerMare", season.onePerMare},
                        {"book", season.bookForAll ? Json(*season.bookForAll) : Json(nullptr)},
                        {"noRepeats", season.noRepeats},
                        {"locks", pairsJson(season.locks)},
                        {"ruledOut", ruledOut},
                        {"ruledOutPairs", pairsJson(season.ruledOutPairs)}};
    Json decisions = Json::array();
    for (const KeptDecision& decision : season.decisions) {
        Json one = pairJson(decision.pair);
        one["from"] = decision.fromPlan ? "plan" : "hand";
        decisions.push_back(std::move(one));
    }
    out["decisions"] = std::move(decisions);
    if (!season.extra.empty()) {
        const Json extra = Json::parse(season.extra);
        for (auto it = extra.begin(); it != extra.end(); ++it)
            out[it.key()] = *it;
    }
    std::string text = out.dump(2);
    text += '\n';
    return text;
}

namespace {

// Reading a member fails with what is wrong and where.
struct Reader {
    const std::string& path;
    [[noreturn]] void fail(const std::string& where, const std::string& what) const
    {
        throw std::runtime_error(path + ": " + where + " " + what);
    }
    const Json& member(const Json& object, const char* key, const std::string& where) const
    {
        if (!object.is_object())
            fail(where, "is not an object");
        const auto found = object.find(key);
        if (found == object.end())
            fail(where, std::string("has no \"") + key + "\"");
        return *found;
    }
    std::string text(const Json& value, const std::string& where) const
    {
        if (!value.is_string())
            fail(where, "is not a text");
        return value.get<std::string>();
    }
    std::string latin1(const Json& value, const std::string& where) const
    {
        const auto text = utf8ToLatin1(this->text(value, where));
        if (!text)
            fail(where, "holds a letter no name of the breeding file can");
        return *text;
    }
    bool flag(const Json& value, const std::string& where) const
    {
        if (!value.is_boolean())
            fail(where, "is not true or false");
        return value.get<bool>();
    }
    std::int64_t whole(const Json& value, const std::string& where, std::int64_t low, std::int64_t high) const
    {
        if (!value.is_number_integer() || value.get<std::int64_t>() < low || value.get<std::int64_t>() > high)
            fail(where, "is not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        return value.get<std::int64_t>();
    }
    KeptPair pair(const Json& value, const std::string& where) const
    {
        KeptPair pair;
        pair.dam = static_cast<std::int32_t>(whole(member(value, "dam", where), where + " \"dam\"", 1, kLargestId));
        pair.damName = latin1(member(value, "damName", where), where + " \"damName\"");
        pair.sire = latin1(member(value, "sire", where), where + " \"sire\"");
        if (pair.sire.empty())
            fail(where + " \"sire\"", "is empty");
        return pair;
    }
    std::vector<KeptPair> pairs(const Json& value, const std::string& where, bool onePerMare) const
    {
        if (!value.is_array())
            fail(where, "is not a list");
        std::vector<KeptPair> out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            KeptPair next = pair(value[i], where + " " + std::to_string(i + 1));
            if (std::any_of(out.begin(), out.end(), [&](const KeptPair& p) {
                    return p.dam == next.dam && (onePerMare || p.sire == next.sire);
                }))
                fail(where, "names horse " + std::to_string(next.dam) + " twice");
            out.push_back(std::move(next));
        }
        return out;
    }
};

// The deepest nesting a season file has; deeper is refused before it is built.
constexpr int kDeepest = 8;

} // namespace

KeptSeasonRead parseKeptSeason(const std::string& text, const std::string& path)
{
    KeptSeasonRead out;
    const Reader r{path};
    try {
        const Json::parser_callback_t shallow = [&](int depth, Json::parse_event_t, Json&) {
            if (depth > kDeepest)
                r.fail("", "is nested deeper than a season file is");
            return true;
        };
        Json doc;
        try {
            doc = Json::parse(text, shallow);
        } catch (const Json::parse_error& e) {
            r.fail("", std::string("is not JSON: ") + e.what());
        }
        if (!doc.is_object())
            r.fail("", "is not a JSON object");
        KeptSeason& s = out.season;
        const Json& target = r.member(doc, "target", "the file");
        const Json& di = r.member(target, "di", "\"target\"");
        const Json& cd = r.member(target, "cd", "\"target\"");
        s.diMin = r.text(r.member(di, "min", "\"di\""), "\"di\" \"min\"");
        s.diMax = r.text(r.member(di, "max", "\"di\""), "\"di\" \"max\"");
        s.cdMin = r.text(r.member(cd, "min", "\"cd\""), "\"cd\" \"min\"");
        s.cdMax = r.text(r.member(cd, "max", "\"cd\""), "\"cd\" \"max\"");
        s.minTotal = static_cast<int>(r.whole(r.member(target, "minTotal", "\"target\""), "\"minTotal\"", 0, 9999));
        s.sortBy = r.text(r.member(target, "sort", "\"target\""), "\"sort\"");
        s.descending = r.flag(r.member(target, "descending", "\"target\""), "\"descending\"");
        s.namedTarget = r.text(r.member(target, "named", "\"target\""), "\"named\"");
        s.perMare = static_cast<int>(r.whole(r.member(target, "perMare", "\"target\""), "\"perMare\"", 1, 999));
        const Json& mares = r.member(doc, "mares", "the file");
        s.fromStable = r.flag(r.member(mares, "fromStable", "\"mares\""), "\"fromStable\"");
        s.ids = r.text(r.member(mares, "ids", "\"mares\""), "\"ids\"");
        s.useRoster = r.flag(r.member(doc, "roster", "the file"), "\"roster\"");
        const Json& rules = r.member(doc, "rules", "the file");
        s.onePerMare = r.flag(r.member(rules, "onePerMare", "\"rules\""), "\"onePerMare\"");
        if (const Json& book = r.member(rules, "book", "\"rules\""); !book.is_null())
            s.bookForAll = static_cast<std::uint32_t>(r.whole(book, "\"book\"", 0, 999));
        s.noRepeats = r.flag(r.member(rules, "noRepeats", "\"rules\""), "\"noRepeats\"");
        s.locks = r.pairs(r.member(rules, "locks", "\"rules\""), "lock", true);
        s.ruledOutPairs = r.pairs(r.member(rules, "ruledOutPairs", "\"rules\""), "pair ruled out", false);
        const Json& ruledOut = r.member(rules, "ruledOut", "\"rules\"");
        if (!ruledOut.is_array())
            r.fail("\"ruledOut\"", "is not a list");
        for (const Json& sire : ruledOut)
            s.ruledOut.push_back(r.latin1(sire, "a stallion ruled out"));
        const Json& decisions = r.member(doc, "decisions", "the file");
        if (!decisions.is_array())
            r.fail("\"decisions\"", "is not a list");
        for (std::size_t i = 0; i < decisions.size(); ++i) {
            const std::string where = "decision " + std::to_string(i + 1);
            KeptDecision decision{r.pair(decisions[i], where), true};
            const std::string from = r.text(r.member(decisions[i], "from", where), where + " \"from\"");
            if (from != "plan" && from != "hand")
                r.fail(where + " \"from\"", "is neither \"plan\" nor \"hand\"");
            decision.fromPlan = from == "plan";
            if (s.decisionOf(decision.pair.dam))
                r.fail("\"decisions\"", "names horse " + std::to_string(decision.pair.dam) + " twice");
            s.decisions.push_back(std::move(decision));
        }
        Json extra = Json::object();
        for (auto it = doc.begin(); it != doc.end(); ++it)
            if (std::find(std::begin(kKnown), std::end(kKnown), it.key()) == std::end(kKnown))
                extra[it.key()] = *it;
        if (!extra.empty())
            s.extra = extra.dump();
    } catch (const std::runtime_error& e) {
        out.season = {};
        out.error = e.what();
    }
    return out;
}

std::string seasonFileFor(const DataFolder& folder)
{
    const std::string list = stableFileFor(folder);
    if (list.empty())
        return {};
    const fs::path path = fsPath(list);
    std::string name = utf8Path(path.filename());
    if (name.starts_with("horses-"))
        name.erase(0, 7);
    return utf8Path(path.parent_path() / fsPath("season-" + name));
}

// ---- Entries kept for a mare whose ID holds another horse now ----

std::vector<MarkedEntry> markKept(const KeptSeason& season, const NameAt& nameAt)
{
    std::vector<MarkedEntry> marked;
    const auto check = [&](MarkedEntry::Kind kind, const KeptPair& pair, const char* what) {
        const auto now = nameAt(pair.dam);
        if (!now || (*now && **now == pair.damName))
            return;
        MarkedEntry entry{kind, pair, *now, {}};
        entry.message =
            "horse " + std::to_string(pair.dam) + " (" + latin1ForMessage(pair.damName) + ") " +
            (*now ? "is now " + latin1ForMessage(**now) : std::string("is no longer in the breeding file")) + ": " +
            what + " " + latin1ForMessage(pair.sire) + " is kept as it was and not used until you clear it";
        marked.push_back(std::move(entry));
    };
    for (const KeptPair& lock : season.locks)
        check(MarkedEntry::Kind::Lock, lock, "her lock to");
    for (const KeptPair& pair : season.ruledOutPairs)
        check(MarkedEntry::Kind::RuledOutPair, pair, "the pair ruled out with");
    for (const KeptDecision& decision : season.decisions)
        check(MarkedEntry::Kind::Decision, decision.pair, "her decision for");
    return marked;
}

std::vector<MarkedEntry> markKept(const KeptSeason& season, const DataFolder& folder)
{
    return markKept(season, [&folder](std::int32_t id) -> std::optional<std::optional<std::string>> {
        const LookupResult found = findHorse(folder, id);
        if (found.status == Outcome::Done)
            return std::optional<std::string>(found.horse.name);
        if (found.status == Outcome::Absent)
            return std::optional<std::string>();
        return std::nullopt; // cannot tell: left as it is
    });
}

// ---- The book ----

KeptSeasonBook::KeptSeasonBook()
    : file_(
          {"The season kept for this data folder", "the season"}, kLargestSeasonFile,
          [this](std::string_view text) {
              season_ = {};
              KeptSeasonRead read = parseKeptSeason(std::string(text), file_.path());
              if (read.error.empty())
                  season_ = std::move(read.season);
              return read.error;
          },
          [this] { season_ = {}; })
{
}

KeptOpen KeptSeasonBook::open(const DataFolder& folder) { return openFile(seasonFileFor(folder), folder.dir()); }

KeptOpen KeptSeasonBook::openFile(std::string path, const std::string& dataFolder)
{
    dataFolder_ = dataFolder;
    return file_.open(std::move(path));
}

SeasonChange KeptSeasonBook::change(const std::function<bool(KeptSeason&)>& edit)
{
    KeptSeason next;
    const KeptChange written = file_.change([&]() -> std::optional<std::string> {
        next = season_; // as the file holds it now
        if (!edit(next))
            return std::nullopt;
        return keptSeasonText(next, dataFolder_);
    });
    switch (written.status) {
    case KeptChange::Status::Written:
        season_ = std::move(next);
        return {Outcome::Done, written.message};
    case KeptChange::Status::Declined:
        return {Outcome::Absent, written.message};
    case KeptChange::Status::Failed:
        break;
    }
    return {Outcome::Failed, written.message};
}

} // namespace quindle
