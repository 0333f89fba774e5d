// The CSV reader on sheets as spreadsheets and text editors save them.
#include "exchange/csv_reader.h"

#include <gtest/gtest.h>

namespace kvt {
namespace {

using Cells = std::vector<std::string>;

std::vector<CsvRecord> Read(const std::string& csv) {
    std::vector<CsvRecord> records;
    CsvError error;
    EXPECT_TRUE(ReadCsv(csv, &records, &error)) << error.message;
    return records;
}

TEST(CsvReaderTest, QuotedCellsLineEndsAndRowNumbers) {
    // Commas, doubled quotes and a line break inside quotes; an empty last
    // cell; the same sheet with CR LF, LF and CR line ends, with and
    // without a byte order mark and a final line end.
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        for (const char* bom : {"", "\xEF\xBB\xBF"}) {
            const std::string e = eol;
            const std::string csv = bom + std::string("a,\"b,c\",\"say \"\"hi\"\"\"") + e +
                                    "\"two" + e + "lines\",," + e + e + "x";
            const std::vector<CsvRecord> r = Read(csv);
            ASSERT_EQ(r.size(), 4u) << "eol " << int(eol[0]) << " bom " << *bom;
            EXPECT_EQ(r[0].cells, (Cells{"a", "b,c", "say \"hi\""}));
            EXPECT_EQ(r[1].cells, (Cells{"two" + e + "lines", "", ""}));
            EXPECT_EQ(r[2].cells, (Cells{""}));  // a blank line is a row of its own
            EXPECT_EQ(r[3].cells, (Cells{"x"}));
            // Rows count records, as a spreadsheet shows them, not lines.
            EXPECT_EQ(r[3].row, 4);
        }
    }
    EXPECT_TRUE(Read("").empty());
    EXPECT_TRUE(Read("\xEF\xBB\xBF").empty());
    EXPECT_EQ(Read("\"\"\r\n")[0].cells, (Cells{""}));
    // Blanks belong to the cell: the importer must see them to refuse them.
    EXPECT_EQ(Read(" a ,\tb\n")[0].cells, (Cells{" a ", "\tb"}));
}

TEST(CsvReaderTest, BrokenQuotingNamesRowAndColumn) {
    struct Case {
        std::string csv;
        int row;
        int column;
        const char* message;
    };
    const Case cases[] = {
        {"a,b\nc,d\"e\n", 2, 2, "a quote inside a cell that does not start with one"},
        {"a,b\n\"c\" ,d\n", 2, 1, "text after the closing quote of a cell"},
        {"a\n\"b\nc\n\nd,e", 2, 1, "a quoted cell is not closed"},
        {"a,\"b\"\"", 1, 2, "a quoted cell is not closed"},
    };
    for (const Case& c : cases) {
        std::vector<CsvRecord> records;
        CsvError error;
        EXPECT_FALSE(ReadCsv(c.csv, &records, &error)) << c.csv;
        EXPECT_EQ(error.row, c.row) << c.csv;
        EXPECT_EQ(error.column, c.column) << c.csv;
        EXPECT_EQ(error.message, c.message) << c.csv;
    }
}

}  // namespace
}  // namespace kvt
