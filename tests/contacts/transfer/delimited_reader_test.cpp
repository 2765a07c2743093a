#include "contacts/transfer/delimited_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using namespace contacts;
using Fields = std::vector<std::string>;

struct ReaderCase {
    const char* name;
    ImportSeparator separator;
    std::string text;
    std::vector<Fields> rows;
};

class DelimitedReaderTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(DelimitedReaderTest, ReadsEveryRowAndField) {
    const ReaderCase& c = GetParam();
    const std::vector<ImportRow> rows = ReadDelimitedRows(c.text, c.separator);
    ASSERT_EQ(rows.size(), c.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].fields.size(), c.rows[i].size()) << "row " << i;
        for (std::size_t f = 0; f < rows[i].fields.size(); ++f) {
            EXPECT_GBK_EQ(rows[i].fields[f], c.rows[i][f]) << "row " << i << " field " << f;
        }
    }
}

// Spelled as bytes: a double-byte character whose trail byte is '|'.
const std::string kPipeTrail = "\x81\x7C";
const std::string kFullComma = "\xA3\xAC";  // "，"

const ReaderCase kReaderCases[] = {
    {"plain comma",
     ImportSeparator::Comma,
     "a,b,c\r\nd,e,f\r\n",
     {{"a", "b", "c"}, {"d", "e", "f"}}},
    {"bare line ends",
     ImportSeparator::Comma,
     "a,b\nc,d\re,f",
     {{"a", "b"}, {"c", "d"}, {"e", "f"}}},
    {"trailing separator", ImportSeparator::Comma, "a,b,\r\n", {{"a", "b", ""}}},
    {"blank line is a row",
     ImportSeparator::Comma,
     "a,b\r\n\r\nc,d",
     {{"a", "b"}, {""}, {"c", "d"}}},
    {"pipe trail byte",
     ImportSeparator::Pipe,
     "x" + kPipeTrail + "y|z\n",
     {{"x" + kPipeTrail + "y", "z"}}},
    {"full width comma",
     ImportSeparator::FullWidthComma,
     "王伟" + kFullComma + "同事,甲",
     {{"王伟", "同事,甲"}}},
    {"semicolon", ImportSeparator::Semicolon, "a;b,c;d", {{"a", "b,c", "d"}}},
    {"quoted separator", ImportSeparator::Comma, "\"a,b\",c", {{"a,b", "c"}}},
    {"doubled quote", ImportSeparator::Comma, "\"say \"\"hi\"\"\",x", {{"say \"hi\"", "x"}}},
    {"quoted line break",
     ImportSeparator::Comma,
     "\"l1\r\nl2\",x\r\ny,z",
     {{"l1\r\nl2", "x"}, {"y", "z"}}},
    {"unclosed quote stays literal",
     ImportSeparator::Comma,
     "\"a,b\nc,d",
     {{"\"a", "b"}, {"c", "d"}}},
    {"quote inside field", ImportSeparator::Comma, "a\"b,c", {{"a\"b", "c"}}},
    {"apostrophe before formula",
     ImportSeparator::Comma,
     "'=1+1,'-x,'abc,''@y",
     {{"=1+1", "-x", "'abc", "'@y"}}},
    {"cut off lead byte", ImportSeparator::Comma, "a,\xB9", {{"a", "\xB9"}}},
};

INSTANTIATE_TEST_SUITE_P(Rows, DelimitedReaderTest, ::testing::ValuesIn(kReaderCases),
                         [](const auto& info) {
                             return testing_support::NamePart(info.param.name);
                         });

TEST(DelimitedReaderTest, KeepsTheRecordTextWithoutItsLineEnd) {
    const auto rows = ReadDelimitedRows("\"a\r\nb\",c\r\nd", ImportSeparator::Comma);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, "\"a\r\nb\",c");
    EXPECT_EQ(rows[1].text, "d");
}

TEST(ExportFieldTest, QuotesAndMarksWhatASpreadsheetWouldMisread) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"a\"b", "\"a\"\"b\""},
        {"l1\nl2", "\"l1\nl2\""},
        {"=SUM(A1)", "'=SUM(A1)"},
        {"+86", "'+86"},
        {"-1", "'-1"},
        {"@x", "'@x"},
        {"'=x", "''=x"},
        {"'plain", "'plain"},
        {"=a,b", "\"'=a,b\""},
        {"", ""},
    };
    for (const auto& [field, written] : cases) {
        EXPECT_EQ(ExportField(field), written) << field;
        // Whatever the export writes, the import reads back as the field.
        const auto rows = ReadDelimitedRows(written + ",end", ImportSeparator::Comma);
        ASSERT_EQ(rows.size(), 1u) << field;
        ASSERT_EQ(rows[0].fields.size(), 2u) << field;
        EXPECT_EQ(rows[0].fields[0], field);
    }
}

}  // namespace
