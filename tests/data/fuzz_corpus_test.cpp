// The inputs the fuzzers grew, replayed in every build: the field reader and the
// edit filters must handle each one as they did under the fuzzer.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"
#include "input/edit_filter.h"
#include "records_both_ways.h"
#include "support/temp_dir.h"

using namespace quindle;
namespace fs = std::filesystem;

namespace {
std::vector<std::string> corpus(const std::string& target)
{
    std::vector<std::string> inputs;
    for (const auto& entry : fs::directory_iterator(fs::path(QUINDLE_FUZZ_CORPUS) / target))
        inputs.push_back(quindle::testing::readFile(entry.path().string()));
    return inputs;
}
} // namespace

TEST(FuzzCorpus, FieldReaderGivesRecordsOrAnErrorWithALine)
{
    const auto inputs = corpus("fuzz_field_reader");
    ASSERT_FALSE(inputs.empty());
    for (const std::string& input : inputs) {
        if (input.empty())
            continue;
        FieldReader reader(std::string_view(input).substr(1), "fuzz");
        try {
            for (int records = 0; records < 1000 && !reader.atEnd(); ++records) {
                if (input[0] % 3 == 0)
                    readChefEntry(reader);
                else if (input[0] % 3 == 1)
                    readSireListEntry(reader);
                else
                    readHorseRecord(reader);
            }
        } catch (const FileError& e) {
            EXPECT_GE(e.line(), 1);
        }
    }
}

TEST(FuzzCorpus, PlainLinesReadAsFieldByFieldInEveryInput)
{
    using fuzzing::RecordKind;
    int inputs = 0;
    for (const char* target : {"fuzz_field_reader", "fuzz_record_chunks", "fuzz_bucket_scan", "fuzz_subdivide",
                               "fuzz_sire_scan", "fuzz_place_table"})
        for (const std::string& input : corpus(target))
            for (const RecordKind kind : {RecordKind::Horse, RecordKind::SireListEntry}) {
                const auto whole = fuzzing::readRecords(input, kind, true);
                const auto byFields = fuzzing::readRecords(input, kind, false);
                ASSERT_EQ(whole.text, byFields.text) << target << ": " << input;
                EXPECT_TRUE(whole.faultHasItsPlace);
                ++inputs;
            }
    EXPECT_GT(inputs, 2000);
}

TEST(FuzzCorpus, EditFiltersKeepTheirInvariants)
{
    for (const std::string& input : corpus("fuzz_edit_filters")) {
        std::u16string raw;
        for (std::size_t i = 0; i + 1 < input.size(); i += 2)
            raw += static_cast<char16_t>(static_cast<unsigned char>(input[i]) | static_cast<unsigned char>(input[i + 1])
                                                                                    << 8);
        for (const int caret : {-3, 0, 2, static_cast<int>(raw.size()), 1000}) {
            const EditOutcome id = filterIdEdit(raw, caret, u"12");
            EXPECT_TRUE(checkDigits(id.text));
            EXPECT_GE(id.caret, 0);
            EXPECT_LE(id.caret, static_cast<int>(id.text.size()));
            const EditOutcome name = filterNameEdit(raw, caret, u"AB");
            EXPECT_TRUE(checkChars(name.text));
            EXPECT_TRUE(name.text.empty() || name.text[0] != u' ');
            EXPECT_LE(name.caret, static_cast<int>(name.text.size()));
        }
    }
}
