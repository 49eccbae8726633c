#include "sample_data.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <unordered_set>
#include <vector>

#include "data/system_paths.h"

namespace quindle::sample {

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    // Uniform in [0, n); n > 0. The engine is fully specified, so runs repeat everywhere.
    std::uint64_t below(std::uint64_t n) { return engine_() % n; }
    bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }
    template <class T, std::size_t N>
    const T& pick(const std::array<T, N>& items)
    {
        return items[below(N)];
    }

private:
    std::mt19937_64 engine_;
};

constexpr std::array<const char*, 48> kSyllables{
    "AL",   "BAR", "CAL", "DOR", "EL",  "FAR", "GAL", "HAR", "IN",  "JAS",  "KEL", "LAN",  "MOR",  "NOR", "OR",  "PAL",
    "QUIN", "RAN", "SAL", "TOR", "UL",  "VAL", "WIN", "ZAR", "BRI", "CRES", "DAN", "FEN",  "GLEN", "HOL", "LOR", "MAR",
    "NEL",  "OS",  "PER", "RIS", "SON", "TAN", "VER", "WEL", "ROS", "STAR", "LAN", "TERN", "MIS",  "TY",  "DAW", "SEA"};
constexpr std::array<const char*, 7> kCountries{" (IRE)", " (GB)", " (FR)", " (USA)", " (AUS)", " (GER)", " (NZ)"};
constexpr std::array<const char*, 8> kWordsWithMarks{"MR.", "ST.", "O'", "DE-", "LA ", "DON ", "SIR ", "LADY "};

class NameMaker {
public:
    explicit NameMaker(Random& random) : random_(random) {}

    // A new name in capitals, never given before; `allowComma` lets a few horse
    // names hold a comma (they are then quoted in the file).
    std::string make(int suffixPercent, bool allowComma = false)
    {
        for (;;) {
            std::string name;
            if (random_.chance(6))
                name = random_.pick(kWordsWithMarks);
            const int words = 1 + static_cast<int>(random_.below(3));
            for (int w = 0; w < words; ++w) {
                if (w > 0)
                    name += (allowComma && w == 1 && random_.chance(3)) ? ", " : " ";
                const int syllables = 2 + static_cast<int>(random_.below(2));
                for (int s = 0; s < syllables; ++s)
                    name += random_.pick(kSyllables);
            }
            if (name.size() > 18)
                continue; // racing names are at most 18 characters
            if (random_.chance(suffixPercent))
                name += random_.pick(kCountries);
            if (used_.insert(name).second)
                return name;
        }
    }

private:
    Random& random_;
    std::unordered_set<std::string> used_;
};

struct Sire {
    std::string name, sire, damSire, sireSire;
};

// The key a chef row is stored under: the name without its country suffix.
std::string chefKey(const std::string& name)
{
    const auto paren = name.find(" (");
    return paren == std::string::npos ? name : name.substr(0, paren);
}

std::string field(const std::string& text) { return text.find(',') == std::string::npos ? text : "\"" + text + "\""; }

class Output {
public:
    explicit Output(const std::filesystem::path& path) : path_(utf8Path(path)), file_(openFile(path_, "wb"))
    {
        if (!file_)
            throw std::runtime_error("cannot create " + path_);
    }
    ~Output()
    {
        if (file_)
            std::fclose(file_);
    }
    void line(const std::string& text)
    {
        buffer_ += text;
        buffer_ += "\r\n";
        if (buffer_.size() > (1u << 20))
            flush();
    }
    void close()
    {
        flush();
        const int rc = std::fclose(file_);
        file_ = nullptr;
        if (rc != 0)
            throw std::runtime_error("cannot write " + path_);
    }

private:
    void flush()
    {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            throw std::runtime_error("cannot write " + path_);
        buffer_.clear();
    }
    std::string path_;
    std::FILE* file_;
    std::string buffer_;
};

} // namespace

void writeDataFolder(const std::string& dir, const Options& options)
{
    namespace fs = std::filesystem;
    fs::create_directories(fsPath(dir));
    Random random(options.seed);
    NameMaker names(random);

    // Old horses seen only as distant ancestors, then the stallions of the sire list,
    // each one's sire and dam-sire taken from stallions before it.
    std::vector<std::string> ancients;
    for (int i = 0; i < 300; ++i)
        ancients.push_back(names.make(25));
    const std::int64_t sireCount =
        options.sires > 0 ? options.sires : std::clamp<std::int64_t>(options.horses / 40, 400, 4000);
    // Two founders at least: the second stallion's sire is drawn from those before
    // four fifths of it, which for fewer than two is none.
    const std::int64_t founders = std::max<std::int64_t>(sireCount / 5, 2);
    std::vector<Sire> sires;
    for (std::int64_t i = 0; i < sireCount; ++i) {
        Sire s;
        s.name = names.make(20);
        if (i < founders) {
            s.sire = ancients[random.below(ancients.size())];
            s.damSire = ancients[random.below(ancients.size())];
            s.sireSire = ancients[random.below(ancients.size())];
        } else {
            const auto& father = sires[random.below(static_cast<std::uint64_t>(i * 4 / 5))];
            s.sire = father.name;
            s.sireSire = father.sire;
            s.damSire = sires[random.below(static_cast<std::uint64_t>(i))].name;
        }
        sires.push_back(s);
    }

    // Chefs-de-race: ancients and early stallions, values 0 to 2 per group, a few
    // negative, and one name listed twice (the first row is the one that counts).
    Output chefs(fsPath(dir) / "ChefTable");
    auto chefRow = [&](const std::string& name) {
        std::array<int, 5> points{};
        const int groups = 1 + static_cast<int>(random.below(3));
        for (int k = 0; k < groups; ++k)
            points[random.below(5)] = 1 + static_cast<int>(random.below(2));
        if (random.chance(3))
            points[random.below(5)] = -1;
        std::string row = field(chefKey(name));
        for (const int p : points)
            row += "," + std::to_string(p);
        chefs.line(row);
    };
    for (std::size_t i = 0; i < 120; ++i)
        chefRow(ancients[i]);
    for (std::int64_t i = 0; i < std::min<std::int64_t>({founders * 2, 250, sireCount}); ++i)
        chefRow(sires[static_cast<std::size_t>(i)].name);
    chefRow(ancients[0]);
    chefs.close();

    Output sireList(fsPath(dir) / "QN_SireList");
    for (const auto& s : sires)
        sireList.line(field(s.name) + "," + field(s.sire) + "," + field(s.damSire) + "," + field(s.sireSire));
    sireList.close();

    constexpr std::array<const char*, 4> kSexes{"Colt", "Filly", "Horse", "Mare"};
    constexpr std::array<const char*, 3> kOtherSexes{"Gelding", "Ridgling", "mare"};
    Output breeding(fsPath(dir) / "breeding.txt");
    const auto recent = static_cast<std::uint64_t>(sireCount / 2);
    for (std::int64_t id = 1; id <= options.horses; ++id) {
        const std::string name = names.make(8, true);
        const std::string age = std::to_string(2 + random.below(12));
        const std::string sex = random.chance(4) ? random.pick(kOtherSexes) : random.pick(kSexes);
        const std::size_t sireIndex = recent + random.below(static_cast<std::uint64_t>(sireCount) - recent);
        const std::size_t damSireIndex = random.below(static_cast<std::uint64_t>(sireCount));
        const Sire& sire = sires[sireIndex];
        const Sire& damSire = sires[damSireIndex];
        const Sire& damDamSire = sires[random.below(static_cast<std::uint64_t>(sireCount))];
        const std::string ids = std::to_string(id);
        // Quoted as a CSV writer that quotes every text would, or only where a comma asks for it.
        const auto text = [&](const std::string& t) { return options.quoteAll ? "\"" + t + "\"" : field(t); };
        breeding.line(ids + "," + (random.chance(2) ? "\"" + name + "\"" : text(name)) + "," + text(age) + "," +
                      text(sex));
        breeding.line(std::to_string(sireIndex) + "," + text(sire.name) + "," + text(sire.sire) + "," +
                      text(sire.damSire) + "," + text(sire.sireSire));
        breeding.line(std::to_string(damSireIndex) + "," + text(damSire.name) + "," + text(damSire.sire) + "," +
                      text("DAM OF " + ids) + "," + text("GRANDDAM OF " + ids));
        breeding.line("0," + text(damDamSire.name) + "," + text("GREAT GRANDDAM OF " + ids) + "," +
                      text(std::to_string(random.below(30))) + "," + text(std::to_string(random.below(30))));
    }
    breeding.close();
}

} // namespace quindle::sample
