#include "support/jet_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

#include "common/codepage.h"

namespace vantor::testing {

namespace {

using Page = std::vector<uint8_t>;

void Put16(uint8_t* at, uint32_t value) {
    at[0] = value & 0xff;
    at[1] = (value >> 8) & 0xff;
}
void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = (value >> (8 * i)) & 0xff;
}
void Append16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value & 0xff);
    out.push_back((value >> 8) & 0xff);
}

// The header page hides its bytes from 0x18 on under RC4 with a fixed key; RC4 is its own
// inverse, so writing applies the same stream a reader removes.
void Rc4(const uint8_t* key, size_t keyLength, uint8_t* data, size_t length) {
    uint8_t s[256];
    for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (size_t n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

// UTF-8 to UCS-2 little-endian (the characters of the basic plane, as the format holds).
std::vector<uint8_t> Ucs2(const std::string& utf8) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t c = static_cast<uint8_t>(utf8[i]);
        int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
        c = extra == 0 ? c : c & (0x3f >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3f);
        i += extra + 1;
        Append16(out, c > 0xffff ? 0xfffd : c);
    }
    return out;
}

struct Format {
    JetVersion version;
    size_t pageSize;
    size_t rowCountOffset;  // data pages: where the row count is, the offsets follow it
    bool jet4() const { return version == JetVersion::Jet4; }
};

bool IsFixed(int type) { return type != 10 && type != 12 && type != 9 && type != 11; }

int FixedSize(int type) {
    switch (type) {
        case 1: return 0;  // a boolean lives in the null mask
        case 2: return 1;
        case 3: return 2;
        case 4: case 6: return 4;
        default: return 8;  // money, double, date
    }
}

class Writer {
  public:
    Writer(JetVersion version, const JetLayoutChoices& choices)
        : f_{version, version == JetVersion::Jet4 ? 4096u : 2048u,
             version == JetVersion::Jet4 ? 0x0cu : 0x08u},
          choices_(choices) {}

    std::string Write(const std::string& path, const std::vector<JetTable>& tables);

  private:
    struct ColumnLayout {
        int type;
        int fixedOffset = 0;
        int varIndex = -1;
    };

    size_t NewPage() {
        pages_.emplace_back(f_.pageSize, 0);
        return pages_.size() - 1;
    }
    std::vector<uint8_t> EncodeText(const std::string& utf8) const {
        if (f_.jet4()) return Ucs2(utf8);
        std::string bytes = Utf8ToCp1252(utf8);
        return {bytes.begin(), bytes.end()};
    }
    // A page holding rows (data, long values, usage maps): header, then the offsets table.
    size_t NewRowPage(uint32_t owner, bool longValues) {
        size_t number = NewPage();
        Page& page = pages_[number];
        page[0] = 0x01;
        page[1] = 0x01;
        if (longValues)
            std::memcpy(&page[4], "LVAL", 4);
        else
            Put32(&page[4], owner);
        return number;
    }
    int RowCount(const Page& page) const { return page[f_.rowCountOffset] | page[f_.rowCountOffset + 1] << 8; }
    // Where the row area begins: the lowest row start, or the page end when there is none.
    size_t RowAreaStart(const Page& page) const {
        int rows = RowCount(page);
        if (rows == 0) return f_.pageSize;
        const uint8_t* at = &page[f_.rowCountOffset + 2 + 2 * (rows - 1)];
        return (at[0] | at[1] << 8) & 0x1fff;
    }
    bool Fits(const Page& page, size_t length) const {
        size_t tableEnd = f_.rowCountOffset + 2 + 2 * (RowCount(page) + 1);
        return tableEnd + length <= RowAreaStart(page);
    }
    // Adds a row below the others; its number on the page.
    int AddRow(size_t pageNumber, const std::vector<uint8_t>& row, bool deleted = false) {
        Page& page = pages_[pageNumber];
        int rows = RowCount(page);
        size_t start = RowAreaStart(page) - row.size();
        std::memcpy(&page[start], row.data(), row.size());
        Put16(&page[f_.rowCountOffset + 2 + 2 * rows], start | (deleted ? 0x8000 : 0));
        Put16(&page[f_.rowCountOffset], rows + 1);
        size_t tableEnd = f_.rowCountOffset + 2 + 2 * (rows + 1);
        Put16(&page[2], static_cast<uint32_t>(start - tableEnd));
        return rows;
    }
    uint32_t PageRow(size_t page, int row) const { return static_cast<uint32_t>(page << 8 | row); }

    std::vector<uint8_t> MemoField(const std::string& text);
    std::string BuildRow(const JetTable& table, const std::vector<ColumnLayout>& layout,
                         const JetRow& values, std::vector<uint8_t>& row);
    std::string WriteTableDefinition(size_t page, const JetTable& table, bool system,
                                     const std::vector<ColumnLayout>& layout, size_t liveRows,
                                     uint32_t usageMap);

    Format f_;
    JetLayoutChoices choices_;
    std::vector<Page> pages_;
};

std::vector<uint8_t> Writer::MemoField(const std::string& text) {
    std::vector<uint8_t> data = EncodeText(text);
    std::vector<uint8_t> field(12, 0);
    if (data.size() <= choices_.inlineMemoBytes) {
        Put32(&field[0], static_cast<uint32_t>(data.size()) | 0x80000000u);
        field.insert(field.end(), data.begin(), data.end());
        return field;
    }
    const size_t header = f_.rowCountOffset + 2 + 2;
    const size_t onePage = f_.pageSize - header;
    if (data.size() <= onePage) {
        size_t page = NewRowPage(0, true);
        int row = AddRow(page, data);
        Put32(&field[0], static_cast<uint32_t>(data.size()) | 0x40000000u);
        Put32(&field[4], PageRow(page, row));
        return field;
    }
    // A chain: each piece starts with the place of the next one (0 for the last).
    const size_t piece = onePage - 4;
    std::vector<size_t> chainPages;
    for (size_t at = 0; at < data.size(); at += piece) chainPages.push_back(NewRowPage(0, true));
    for (size_t i = 0; i < chainPages.size(); ++i) {
        size_t from = i * piece;
        size_t to = std::min(data.size(), from + piece);
        std::vector<uint8_t> row(4, 0);
        if (i + 1 < chainPages.size()) Put32(&row[0], PageRow(chainPages[i + 1], 0));
        row.insert(row.end(), data.begin() + from, data.begin() + to);
        AddRow(chainPages[i], row);
    }
    Put32(&field[0], static_cast<uint32_t>(data.size()));
    Put32(&field[4], PageRow(chainPages[0], 0));
    return field;
}

std::string Writer::BuildRow(const JetTable& table, const std::vector<ColumnLayout>& layout,
                             const JetRow& values, std::vector<uint8_t>& row) {
    const size_t columns = table.columns.size();
    if (values.size() != columns) return "row of " + table.name + " has the wrong width";
    int fixedSize = 0;
    std::vector<size_t> varColumns;
    for (size_t c = 0; c < columns; ++c) {
        if (IsFixed(layout[c].type))
            fixedSize += FixedSize(layout[c].type);
        else
            varColumns.push_back(c);
    }
    std::vector<uint8_t> fixed(fixedSize, 0);
    std::vector<uint8_t> nullMask((columns + 7) / 8, 0);
    std::vector<std::vector<uint8_t>> varData(varColumns.size());
    for (size_t c = 0; c < columns; ++c) {
        const DbValue& v = values[c];
        const int type = layout[c].type;
        bool present = !v.IsNull();
        if (type == 1) present = v.AsBool();
        if (present) nullMask[c / 8] |= 1 << (c % 8);
        if (v.IsNull() || type == 1) continue;
        uint8_t* at = fixed.data() + layout[c].fixedOffset;
        switch (type) {
            case 2: at[0] = static_cast<uint8_t>(v.AsInteger()); break;
            case 3: Put16(at, static_cast<uint16_t>(static_cast<int16_t>(v.AsInteger()))); break;
            case 4: Put32(at, static_cast<uint32_t>(static_cast<int32_t>(v.AsInteger()))); break;
            case 6: {
                float single = static_cast<float>(v.AsDouble());
                uint32_t bits;
                std::memcpy(&bits, &single, 4);
                Put32(at, bits);
                break;
            }
            case 5: {  // money: a count of ten-thousandths
                int64_t units = std::llround(v.AsDouble() * 10000.0);
                std::memcpy(at, &units, 8);
                break;
            }
            case 7: case 8: {
                double d = v.AsDouble();
                std::memcpy(at, &d, 8);  // the machine is little-endian, as the format
                break;
            }
            case 10: varData[layout[c].varIndex] = EncodeText(v.AsText()); break;
            case 12: varData[layout[c].varIndex] = MemoField(v.AsText()); break;
            default: return "type " + std::to_string(type) + " is not written";
        }
    }

    const size_t countSize = f_.jet4() ? 2 : 1;
    const size_t n = varColumns.size();
    row.clear();
    if (f_.jet4()) {
        Append16(row, static_cast<uint32_t>(columns));
        row.insert(row.end(), fixed.begin(), fixed.end());
        std::vector<uint32_t> offsets;
        for (const auto& data : varData) {
            offsets.push_back(static_cast<uint32_t>(row.size()));
            row.insert(row.end(), data.begin(), data.end());
        }
        Append16(row, static_cast<uint32_t>(row.size()));  // end of the variable data
        for (size_t i = n; i > 0; --i) Append16(row, offsets[i - 1]);
        Append16(row, static_cast<uint32_t>(n));
        row.insert(row.end(), nullMask.begin(), nullMask.end());
        return "";
    }

    // Jet 3 keeps one byte per offset; the jump table says at which entry each further 256
    // bytes begin. Its length follows from the row's length, with one filler entry (0xff)
    // where the row is long enough to call for one more jump than the offsets need; a few
    // bytes of padding before the variable data settle the rare row that fits neither.
    for (size_t pad = 0; pad < 512; ++pad) {
        std::vector<uint32_t> offsets;
        size_t at = countSize + fixed.size() + pad;
        for (const auto& data : varData) {
            offsets.push_back(static_cast<uint32_t>(at));
            at += data.size();
        }
        const size_t eod = at;
        offsets.push_back(static_cast<uint32_t>(eod));
        const size_t realJumps = eod / 256;
        if (!offsets.empty() && offsets[0] >= 256) return "fixed part of a Jet 3 row too long";
        for (size_t jumps : {realJumps, realJumps + 1}) {
            size_t rowLength = eod + (n + 1) + jumps + 1 + nullMask.size();
            if ((rowLength - 1) / 256 != jumps) continue;
            row.push_back(static_cast<uint8_t>(columns));
            row.insert(row.end(), fixed.begin(), fixed.end());
            row.insert(row.end(), pad, 0);
            for (const auto& data : varData) row.insert(row.end(), data.begin(), data.end());
            for (size_t i = n + 1; i > 0; --i) row.push_back(offsets[i - 1] & 0xff);
            if (jumps > realJumps) row.push_back(0xff);
            std::vector<uint8_t> jumpEntries;
            for (size_t boundary = 1; boundary <= realJumps; ++boundary) {
                size_t first = 0;
                while (offsets[first] < boundary * 256) ++first;
                jumpEntries.push_back(static_cast<uint8_t>(first));
            }
            for (size_t i = jumpEntries.size(); i > 0; --i) row.push_back(jumpEntries[i - 1]);
            row.push_back(static_cast<uint8_t>(n));
            row.insert(row.end(), nullMask.begin(), nullMask.end());
            return "";
        }
    }
    return "no Jet 3 layout for a row of " + table.name;
}

std::string Writer::WriteTableDefinition(size_t pageNumber, const JetTable& table, bool system,
                                         const std::vector<ColumnLayout>& layout,
                                         size_t liveRows, uint32_t usageMap) {
    Page& page = pages_[pageNumber];
    std::vector<uint8_t> d;  // from offset 8 on
    const bool jet4 = f_.jet4();
    const size_t columns = table.columns.size();
    size_t varCount = 0;
    for (const auto& c : layout) varCount += c.varIndex >= 0;

    d.resize(jet4 ? 55 : 35, 0);  // up to the usage map pointers, counted from offset 8
    auto at = [&d](size_t pageOffset) { return &d[pageOffset - 8]; };
    Put32(at(jet4 ? 16 : 12), static_cast<uint32_t>(liveRows));
    *at(jet4 ? 40 : 20) = system ? 0x53 : 0x4e;
    Put16(at(jet4 ? 41 : 21), static_cast<uint32_t>(columns));
    Put16(at(jet4 ? 43 : 23), static_cast<uint32_t>(varCount));
    Put16(at(jet4 ? 45 : 25), static_cast<uint32_t>(columns));
    // no indexes: both counts stay 0
    Put32(at(jet4 ? 55 : 35), usageMap);
    Put32(at(jet4 ? 59 : 39), usageMap);

    for (size_t c = 0; c < columns; ++c) {
        std::vector<uint8_t> e(jet4 ? 25 : 18, 0);
        const int type = layout[c].type;
        e[0] = static_cast<uint8_t>(type);
        const size_t num = jet4 ? 5 : 1, var = jet4 ? 7 : 3, rowNum = jet4 ? 9 : 5;
        const size_t flags = jet4 ? 15 : 13, fixedAt = jet4 ? 21 : 14, len = jet4 ? 23 : 16;
        Put16(&e[num], static_cast<uint32_t>(c));
        Put16(&e[var], layout[c].varIndex >= 0 ? layout[c].varIndex : 0);
        Put16(&e[rowNum], static_cast<uint32_t>(c));
        if (type == 10 || type == 12) Put16(&e[jet4 ? 11 : 7], 0x409);  // general sort order
        if (!jet4 && (type == 10 || type == 12)) Put16(&e[9], 1252);
        e[flags] = (IsFixed(type) ? 0x01 : 0) | 0x02;
        Put16(&e[fixedAt], IsFixed(type) ? layout[c].fixedOffset : 0);
        int width = table.columns[c].size > 0 ? table.columns[c].size : 255;
        int length = type == 10 ? (jet4 ? 2 * width : width) : type == 12 ? 0 : FixedSize(type);
        Put16(&e[len], static_cast<uint32_t>(length));
        d.insert(d.end(), e.begin(), e.end());
    }
    for (const JetColumn& column : table.columns) {
        std::vector<uint8_t> name = EncodeText(column.name);
        if (jet4)
            Append16(d, static_cast<uint32_t>(name.size()));
        else
            d.push_back(static_cast<uint8_t>(name.size()));
        d.insert(d.end(), name.begin(), name.end());
    }
    Append16(d, 0xffff);  // no per-column page lists
    if (d.size() + 8 > f_.pageSize) return "definition of " + table.name + " needs a second page";
    page[0] = 0x02;
    page[1] = 0x01;
    if (jet4)
        Put16(&page[2], static_cast<uint32_t>(f_.pageSize - 8 - d.size() - 8));
    else
        std::memcpy(&page[2], "VC", 2);
    Put32(&d[0], static_cast<uint32_t>(d.size()));
    std::memcpy(&page[8], d.data(), d.size());
    return "";
}

std::string Writer::Write(const std::string& path, const std::vector<JetTable>& tables) {
    NewPage();                             // 0: the header
    const size_t mapsPage = NewRowPage(0, false);  // 1: the usage maps
    const size_t catalogPage = NewPage();  // 2: the catalog's definition

    // The catalog lists the tables: its own row is marked a system object.
    JetTable catalog{"MSysObjects",
                     {{"Id", FieldType::Long}, {"ParentId", FieldType::Long},
                      {"Name", FieldType::Text}, {"Type", FieldType::Short},
                      {"Flags", FieldType::Long}, {"LvProp", 11}},
                     {},
                     {}};
    std::vector<size_t> definitionPages;
    for (size_t t = 0; t < tables.size(); ++t) definitionPages.push_back(NewPage());
    catalog.rows.push_back({DbValue(2), DbValue(0), DbValue("MSysObjects"), DbValue(1),
                            DbValue(static_cast<long long>(0x80000002u)), DbValue()});
    for (size_t t = 0; t < tables.size(); ++t)
        catalog.rows.push_back({DbValue(static_cast<long long>(definitionPages[t])), DbValue(0),
                                DbValue(tables[t].name), DbValue(1), DbValue(0), DbValue()});

    struct Pending {
        size_t definitionPage;
        const JetTable* table;
        bool system;
        std::vector<ColumnLayout> layout;
        std::vector<size_t> dataPages;
        size_t liveRows = 0;
    };
    std::vector<Pending> pending;
    auto lay = [](const JetTable& table) {
        std::vector<ColumnLayout> layout;
        int fixedOffset = 0, varIndex = 0;
        for (const JetColumn& c : table.columns) {
            ColumnLayout l{c.type};
            if (IsFixed(c.type)) {
                l.fixedOffset = fixedOffset;
                fixedOffset += FixedSize(c.type);
            } else {
                l.varIndex = varIndex++;
            }
            layout.push_back(l);
        }
        return layout;
    };
    pending.push_back({catalogPage, &catalog, true, lay(catalog), {}, 0});
    for (size_t t = 0; t < tables.size(); ++t)
        pending.push_back({definitionPages[t], &tables[t], false, lay(tables[t]), {}, 0});

    for (Pending& p : pending) {
        size_t current = 0;
        size_t onPage = 0;
        std::vector<uint8_t> row;
        for (size_t r = 0; r < p.table->rows.size(); ++r) {
            if (std::string e = BuildRow(*p.table, p.layout, p.table->rows[r], row); !e.empty())
                return e;
            const bool full = choices_.rowsPerPage && onPage >= choices_.rowsPerPage;
            if (current == 0 || full || !Fits(pages_[current], row.size())) {
                current = NewRowPage(static_cast<uint32_t>(p.definitionPage), false);
                if (!Fits(pages_[current], row.size())) return "a row of " + p.table->name + " is too long";
                p.dataPages.push_back(current);
                onPage = 0;
            }
            const bool deleted = p.table->deletedRows.count(r) > 0;
            AddRow(current, row, deleted);
            ++onPage;
            p.liveRows += !deleted;
        }
    }

    // One usage map per table, on page 1: a bitmap of the file's pages from page 0 on.
    for (Pending& p : pending) {
        std::vector<uint8_t> map(5 + (pages_.size() + 7) / 8, 0);
        for (size_t page : p.dataPages) map[5 + page / 8] |= 1 << (page % 8);
        if (!Fits(pages_[mapsPage], map.size())) return "too many pages for the usage maps";
        int row = AddRow(mapsPage, map);
        if (std::string e = WriteTableDefinition(p.definitionPage, *p.table, p.system, p.layout,
                                                 p.liveRows, PageRow(mapsPage, row));
            !e.empty())
            return e;
    }

    Page& header = pages_[0];
    header[1] = 0x01;
    std::memcpy(&header[4], "Standard Jet DB", 15);
    header[0x14] = f_.jet4() ? 1 : 0;
    Put16(&header[f_.jet4() ? 0x6e : 0x3a], 0x409);  // general sort order
    Put16(&header[0x3c], 1252);                       // code page of the texts
    // the database key at 0x3e stays 0: the file is not encrypted
    const uint8_t key[4] = {0xc7, 0xda, 0x39, 0x6b};
    Rc4(key, 4, &header[0x18], f_.jet4() ? 128 : 126);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Page& page : pages_) out.write(reinterpret_cast<const char*>(page.data()), page.size());
    out.close();
    return out ? "" : "cannot write " + path;
}

}  // namespace

std::string WriteJetFile(const std::string& path, JetVersion version,
                         const std::vector<JetTable>& tables, const JetLayoutChoices& choices) {
    Writer writer(version, choices);
    return writer.Write(path, tables);
}

}  // namespace vantor::testing
