#include "stable/stable_reader.h"

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "data/latin1_text.h"
#include "input/id_list.h"

namespace quindle {

namespace {

using Json = nlohmann::ordered_json;

// A list file is three levels deep; members a player adds by hand may nest a
// little. Deeper text is refused before it is parsed, as is text holding more
// values than the largest list file can.
constexpr int kDeepestNesting = 32;
constexpr std::size_t kMostValues = 1'000'000;

// Line and column (from 1) of the byte at `offset`, for the player to find it.
std::string placeOf(std::string_view text, std::size_t offset)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column; // a character, not the tail of one
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The first place where the text nests too deep or holds too many values.
std::optional<std::string> tooComplex(std::string_view text)
{
    int depth = 0;
    std::size_t values = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDeepestNesting)
                return "nested more than " + std::to_string(kDeepestNesting) + " levels deep at " + placeOf(text, i);
        } else if (c == ']' || c == '}') {
            --depth;
        }
        if ((c == '[' || c == '{' || c == ',' || c == ':') && ++values > kMostValues)
            return "more than " + std::to_string(kMostValues) + " values, far more than a list holds, at " +
                   placeOf(text, i);
    }
    return std::nullopt;
}

// The events of the parser, taken as they come. Where a value stands decides
// what it is: the file's object, its list of horses, a horse, a horse's ID or
// name, or a member kept as it stands (built by nlohmann's own builder).
class StableBuilder {
public:
    using Number = Json::number_integer_t;
    using Unsigned = Json::number_unsigned_t;
    using Float = Json::number_float_t;

    bool null() { return scalar(Json(nullptr)); }
    bool boolean(bool value) { return scalar(Json(value)); }
    bool number_integer(Number value) { return scalar(Json(value)); }
    bool number_unsigned(Unsigned value) { return scalar(Json(value)); }
    bool number_float(Float value, const Json::string_t&) { return scalar(Json(value)); }
    bool string(Json::string_t& value) { return scalar(Json(value)); }
    bool binary(Json::binary_t&) { return refuse("a binary value"); }

    bool start_object(std::size_t size)
    {
        keys_.emplace_back();
        if (kept_)
            return open(kept_->start_object(size));
        switch (where()) {
        case Where::Start:
            level_ = Level::File;
            return true;
        case Where::InHorses:
            level_ = Level::Horse;
            horse_ = {};
            ++number_;
            hasId_ = hasName_ = false;
            horseExtra_ = Json::object();
            return true;
        case Where::Keeping:
            return keep() && open(kept_->start_object(size));
        default:
            return wrongShape();
        }
    }
    bool key(Json::string_t& name)
    {
        if (!keys_.back().insert(name).second)
            return refuse("the member " + Json(name).dump() + " is written twice in one object");
        if (kept_)
            return kept_->key(name);
        key_ = name;
        return true;
    }
    bool end_object()
    {
        keys_.pop_back();
        if (kept_)
            return close(kept_->end_object());
        if (level_ == Level::Horse)
            return endHorse();
        level_ = Level::Done; // the file's object
        if (!hasHorses_)
            return wrongShape();
        stable_.extra = fileExtra_.empty() ? std::string() : fileExtra_.dump();
        return true;
    }
    bool start_array(std::size_t size)
    {
        if (kept_)
            return open(kept_->start_array(size));
        if (level_ == Level::File && key_ == "horses") {
            level_ = Level::Horses;
            hasHorses_ = true;
            return true;
        }
        if (where() == Where::Keeping)
            return keep() && open(kept_->start_array(size));
        return wrongShape();
    }
    bool end_array()
    {
        if (kept_)
            return close(kept_->end_array());
        level_ = Level::File; // the list of horses
        key_.clear();
        return true;
    }
    template <class Exception>
    bool parse_error(std::size_t at, const std::string& token, const Exception& e)
    {
        // `at` is just past the token the parser could not take: the place named is where that token begins.
        if (why_.empty()) {
            const bool utf8 = std::string_view(e.what()).find("UTF-8") != std::string_view::npos;
            why_ = std::string(utf8 ? "not UTF-8" : "not JSON") + " at " +
                   placeOf(text_, at >= text_.size()   ? text_.size()
                                  : at >= token.size() ? at - token.size()
                                                       : 0);
        }
        return false;
    }

    explicit StableBuilder(std::string_view text) : text_(text) {}
    std::optional<Stable> result()
    {
        return why_.empty() && level_ == Level::Done ? std::optional(std::move(stable_)) : std::nullopt;
    }
    const std::string& why() const { return why_; }

private:
    enum class Level { Start, File, Horses, Horse, Done };
    enum class Where { Start, InHorses, Keeping, Other };

    Where where() const
    {
        if (level_ == Level::Start)
            return Where::Start;
        if (level_ == Level::Horses)
            return Where::InHorses;
        if ((level_ == Level::File && key_ != "horses") || (level_ == Level::Horse && key_ != "id" && key_ != "name"))
            return Where::Keeping;
        return Where::Other;
    }

    bool refuse(std::string why)
    {
        if (why_.empty())
            why_ = std::move(why);
        return false;
    }
    bool wrongShape()
    {
        if (level_ == Level::Horses) // the horse that was to come
            return refuse("horse " + std::to_string(number_ + 1) + " is not an object with \"id\" and \"name\"");
        if (level_ == Level::Horse && key_ == "id")
            return refuse(which() + " has no whole-number \"id\"");
        if (level_ == Level::Horse && key_ == "name")
            return refuse(which() + " (ID " + std::to_string(horse_.id) + ") has no \"name\" text");
        return refuse("not a list of horses: an object with a member \"horses\" holding a list");
    }
    std::string which() const { return "horse " + std::to_string(number_); }

    bool scalar(Json value)
    {
        if (kept_) {
            if (!kept_->handle(std::move(value)))
                return false;
            return depth_ == 0 ? finishKept() : true;
        }
        switch (where()) {
        case Where::Keeping:
            (level_ == Level::File ? fileExtra_ : horseExtra_)[key_] = std::move(value);
            if (level_ == Level::File && key_ == "dataFolder")
                fileExtra_.erase("dataFolder"); // written anew at each save
            return true;
        case Where::Other:
            return level_ == Level::Horse ? horseMember(value) : wrongShape();
        default:
            return wrongShape();
        }
    }
    bool horseMember(const Json& value)
    {
        if (key_ == "id") {
            if (!value.is_number_integer())
                return wrongShape();
            const bool inRange = value.is_number_unsigned()
                                     ? value.get<std::uint64_t>() >= 1 && value.get<std::uint64_t>() <= kLargestId
                                     : value.get<std::int64_t>() >= 1 && value.get<std::int64_t>() <= kLargestId;
            if (!inRange)
                return refuse(which() + ": " + value.dump() + " is not a horse identifier (1 to 6 digits, not 0)");
            horse_.id = static_cast<std::int32_t>(value.get<std::int64_t>());
            hasId_ = true;
            return true;
        }
        if (!value.is_string())
            return wrongShape();
        name_ = value.get<std::string>();
        hasName_ = true;
        return true;
    }
    bool endHorse()
    {
        level_ = Level::Horses;
        key_.clear();
        if (!hasId_)
            return refuse(which() + " has no whole-number \"id\"");
        if (!hasName_)
            return refuse(which() + " (ID " + std::to_string(horse_.id) + ") has no \"name\" text");
        const auto latin1 = utf8ToLatin1(name_);
        if (!latin1)
            return refuse(which() + " (ID " + std::to_string(horse_.id) +
                          "): the name holds a letter that is not Latin-1");
        if (!ids_.insert(horse_.id).second)
            return refuse("the ID " + std::to_string(horse_.id) + " is listed twice (again as " + which() + ")");
        horse_.name = *latin1;
        horse_.extra = horseExtra_.empty() ? std::string() : horseExtra_.dump();
        stable_.horses.push_back(std::move(horse_));
        return true;
    }

    // A member kept as it stands: built by the library, then put in its place.
    bool keep()
    {
        keptValue_ = Json();
        kept_ = std::make_unique<Keeper>(keptValue_);
        depth_ = 0;
        return true;
    }
    bool open(bool ok)
    {
        ++depth_;
        return ok;
    }
    bool close(bool ok) { return ok && (--depth_ > 0 || finishKept()); }
    bool finishKept()
    {
        kept_.reset();
        if (level_ == Level::File && key_ == "dataFolder")
            return true;
        (level_ == Level::File ? fileExtra_ : horseExtra_)[key_] = std::move(keptValue_);
        return true;
    }

    // nlohmann's builder, taking one value at a time.
    struct Keeper : nlohmann::detail::json_sax_dom_parser<Json> {
        explicit Keeper(Json& into) : json_sax_dom_parser(into, false) {}
        bool handle(Json value)
        {
            switch (value.type()) {
            case Json::value_t::null:
                return null();
            case Json::value_t::boolean:
                return boolean(value.get<bool>());
            case Json::value_t::number_integer:
                return number_integer(value.get<Number>());
            case Json::value_t::number_unsigned:
                return number_unsigned(value.get<Unsigned>());
            case Json::value_t::number_float:
                return number_float(value.get<Float>(), {});
            default: {
                auto text = value.get<std::string>();
                return string(text);
            }
            }
        }
    };

    std::string_view text_;
    std::string why_;
    Level level_ = Level::Start;
    std::string key_; // the member whose value comes next
    std::vector<std::unordered_set<std::string>> keys_;
    bool hasHorses_ = false;
    Stable stable_;
    Json fileExtra_ = Json::object();
    // The horse being read.
    StableEntry horse_;
    std::string name_;
    bool hasId_ = false, hasName_ = false;
    Json horseExtra_ = Json::object();
    std::size_t number_ = 0;
    std::unordered_set<std::int32_t> ids_;
    // The member being kept.
    std::unique_ptr<Keeper> kept_;
    Json keptValue_;
    int depth_ = 0;
};

} // namespace

std::optional<Stable> readStableText(std::string_view text, std::string& why)
{
    if (const auto complex = tooComplex(text)) {
        why = *complex;
        return std::nullopt;
    }
    StableBuilder builder(text);
    Json::sax_parse(text, &builder);
    if (auto stable = builder.result())
        return stable;
    why = builder.why().empty() ? "not a list of horses: an object with a member \"horses\" holding a list"
                                : builder.why();
    return std::nullopt;
}

} // namespace quindle

namespace quindle {

std::optional<std::string> jsonTooComplex(std::string_view text) { return tooComplex(text); }

std::string jsonPlaceOf(std::string_view text, std::size_t offset) { return placeOf(text, offset); }

} // namespace quindle
