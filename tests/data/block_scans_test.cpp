// The scans that take many bytes a step must answer exactly as the one-byte
// loops they fall back on, wherever a comma, quote or line end meets the edge
// of a step (16 or 64 bytes) or the end of the text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "data/field_reader.h"
#include "data/line_ends.h"
#include "data/record_chunks.h"
#include "data/subdivide.h"
#include "search/name_search.h"

using namespace quindle;

namespace {

// Texts of every length up to 200 bytes, of pieces that end fields and lines
// and of plain letters; CR LF is common so that whole-CR-LF texts occur.
std::vector<std::string> texts()
{
    static const char* const pieces[] = {"a", "bc", "defghijklmnopqr", ",", "\r\n", "\r\n", "\r", "\n", " ", "\""};
    std::mt19937 random(7);
    std::vector<std::string> out;
    for (int length = 0; length <= 200; ++length)
        for (int copy = 0; copy < 20; ++copy) {
            std::string text;
            while (text.size() < static_cast<std::size_t>(length))
                text += pieces[random() % std::size(pieces)];
            text.resize(static_cast<std::size_t>(length));
            out.push_back(text);
        }
    return out;
}

} // namespace

TEST(BlockScans, AnswerAsTheirOneByteLoops)
{
    for (const std::string& text : texts()) {
        const std::string_view view = text;
        for (std::size_t at = 0; at <= view.size(); ++at) {
            const std::string_view rest = view.substr(at);
            const std::size_t run = detail::fieldRunLength(rest, detail::Steps::Bytes);
            ASSERT_EQ(detail::fieldRunLength(rest, detail::Steps::Blocks), run) << text << " @" << at;

            const std::size_t n = std::min<std::size_t>(64, rest.size());
            const auto bytes = detail::lineBoundaries(rest.data(), n, detail::Steps::Bytes);
            const auto blocks = detail::lineBoundaries(rest.data(), n, detail::Steps::Blocks);
            ASSERT_EQ(blocks.comma, bytes.comma) << text << " @" << at;
            ASSERT_EQ(blocks.lineEnd, bytes.lineEnd) << text << " @" << at;

            const char* end = rest.data() + rest.size();
            ASSERT_EQ(line_ends::next(rest.data(), end), line_ends::nextByBytes(rest.data(), end));
            for (const char letter : {'a', '"', ','})
                ASSERT_EQ(detail::findEither(view, at, letter, ' ', true),
                          detail::findEither(view, at, letter, ' ', false))
                    << text << " @" << at;
        }
        for (const char before : {'\n', '\r', 'a'}) {
            const LineCounts fast = countLines(view, before), slow = detail::countLinesByBytes(view, before);
            ASSERT_EQ(fast.ends, slow.ends) << text;
            ASSERT_EQ(fast.starts, slow.starts) << text;
        }
        ASSERT_EQ(detail::wholeRunsAsTheyAre(view), detail::onlyCrLfByBytes(view)) << text;
    }
}

TEST(BlockScans, WholeCrLfTextsAreFoundAndLeftAsTheyAre)
{
    std::string text;
    for (int line = 0; line < 40; ++line)
        text += std::string(static_cast<std::size_t>(line % 23), 'x') + "\r\n";
    std::vector<char> buffer;
    EXPECT_TRUE(detail::wholeRunsAsTheyAre(text));
    EXPECT_EQ(detail::rewrittenWithCrLf(text, buffer), text);
    text[70] = '\n'; // an LF alone in the middle of a 64-byte step
    EXPECT_FALSE(detail::wholeRunsAsTheyAre(text));
}
