// The reader of Windows database files, on files the tests' own writer makes: every kind of
// value comes back exactly as written, in both versions of the format.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/jet_writer.h"
#include "support/temp_dir.h"
#include "windowsdb/jet_file.h"

namespace vantor {
namespace {

using testing::JetColumn;
using testing::JetRow;
using testing::JetTable;
using testing::JetVersion;
using testing::TempDir;
using testing::WriteJetFile;

std::vector<JetRow> ReadAll(const JetFile& file, const std::string& table) {
    JetTableReader reader;
    EXPECT_EQ(file.OpenTable(table, reader), "");
    std::vector<JetRow> rows;
    JetRow row;
    while (reader.Next(row)) rows.push_back(row);
    return rows;
}

// Values whose text forms would round: the reader must give back their stored bits.
const std::vector<JetColumn> kAllTypes = {
    {"Flag", FieldType::Boolean},  {"Small", FieldType::Short}, {"Whole", FieldType::Long},
    {"Single", FieldType::Single}, {"Real", FieldType::Double}, {"When", FieldType::DateTime},
    {"Name", FieldType::Text, 50}, {"Notes", FieldType::Memo},
};

std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

std::vector<JetRow> AllTypeRows() {
    const double date = 36526.0 + 1.0 / 3.0;  // 1 January 2000, 08:00, to the last bit
    return {
        {true, -32768, std::numeric_limits<int32_t>::min(), DbValue(3599.99f), 0.1 + 0.2, date,
         "Caf\xC3\xA9 \xE2\x82\xAC 100", "short memo"},
        {false, 32767, std::numeric_limits<int32_t>::max(), DbValue(86399.99f), -1e-300,
         36526.999988425923, "", ""},
        {false, DbValue(), DbValue(), DbValue(), DbValue(), DbValue(), DbValue(), DbValue()},
        // memos on a page of their own, and on a chain of pages
        {true, 1, 2, DbValue(1.5f), 2.5, 40000.5, "\xC3\x9Cml\xC3\xA4ut",
         Repeat("Gr\xC3\xBC\xC3\x9F" "e ", 300)},
        {true, 3, 4, DbValue(0.0f), 0.0, 0.0, "x", Repeat("0123456789", 1500)},
    };
}

class JetFileTest : public ::testing::TestWithParam<JetVersion> {};

TEST_P(JetFileTest, GivesBackEveryValueAsStored) {
    TempDir dir;
    const std::string path = dir / "ALL.MDB";
    JetTable table{"Values", kAllTypes, AllTypeRows(), {}};
    ASSERT_EQ(WriteJetFile(path, GetParam(), {table}), "");

    JetFile file;
    ASSERT_EQ(file.Open(path), "");
    EXPECT_EQ(file.Version(), GetParam() == JetVersion::Jet3 ? 3 : 4);
    EXPECT_EQ(file.TableNames(), std::vector<std::string>{"Values"});  // the catalog is a system table

    JetTableReader reader;
    ASSERT_EQ(file.OpenTable("Values", reader), "");
    ASSERT_EQ(reader.Columns().size(), kAllTypes.size());
    for (size_t c = 0; c < kAllTypes.size(); ++c) {
        EXPECT_EQ(reader.Columns()[c].name, kAllTypes[c].name);
        EXPECT_EQ(reader.Columns()[c].type, kAllTypes[c].type);
    }
    std::vector<JetRow> rows;
    JetRow row;
    while (reader.Next(row)) rows.push_back(row);
    const std::vector<JetRow> expected = AllTypeRows();
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < kAllTypes.size(); ++c) {
            DbValue want = expected[r][c];
            // integers come back as the whole numbers they are; Null stays Null, "" stays ""
            if (want.kind() == DbValue::Kind::Integer || want.kind() == DbValue::Kind::Boolean ||
                want.IsNull() || want.IsText())
                EXPECT_EQ(rows[r][c], want) << "row " << r << " column " << kAllTypes[c].name;
            else
                EXPECT_EQ(rows[r][c].AsDouble(), want.AsDouble())  // bit for bit, not near
                    << "row " << r << " column " << kAllTypes[c].name;
        }
    }
    EXPECT_EQ(reader.RowsRead(), reader.CountedRows());
}

TEST_P(JetFileTest, LeavesOutDeletedRowsAcrossManyPages) {
    TempDir dir;
    const std::string path = dir / "MANY.MDB";
    // Rows of up to some 500 bytes: Jet 3 rows then need their jump tables.
    JetTable table{"Log",
                   {{"QIndex", FieldType::Double},
                    {"Description1", FieldType::Text},
                    {"Description2", FieldType::Text}},
                   {},
                   {}};
    for (int i = 0; i < 3000; ++i)
        table.rows.push_back({i + 0.25, "entry " + std::to_string(i) + Repeat(" pad", i % 40),
                              Repeat("more", i % 61)});
    for (size_t r = 5; r < 3000; r += 7) table.deletedRows.insert(r);
    ASSERT_EQ(WriteJetFile(path, GetParam(), {table}), "");

    JetFile file;
    ASSERT_EQ(file.Open(path), "");
    std::vector<JetRow> rows = ReadAll(file, "Log");
    std::vector<JetRow> expected;
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (!table.deletedRows.count(r)) expected.push_back(table.rows[r]);
    EXPECT_EQ(rows, expected);
}

INSTANTIATE_TEST_SUITE_P(BothVersions, JetFileTest,
                         ::testing::Values(JetVersion::Jet3, JetVersion::Jet4),
                         [](const auto& info) {
                             return info.param == JetVersion::Jet3 ? "Jet3" : "Jet4";
                         });

}  // namespace
}  // namespace vantor
