#include <gtest/gtest.h>

#include <limits>

#include <cstring>
#include <string>

#include "audiowall/cart_numbers.h"
#include "audiowall/cart_record.h"
#include "common/text.h"

namespace vantor {
namespace {

// Little-endian writers independent of the code under test, so that a layout fault cannot
// hide behind the same mistake on both sides.
void Put16(std::string& b, int at, int16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutFloat(std::string& b, int at, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Put32(b, at, v);
}
void PutDouble(std::string& b, int at, double d) {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    Put32(b, at, static_cast<uint32_t>(v));
    Put32(b, at + 4, static_cast<uint32_t>(v >> 32));
}
void PutText(std::string& b, int at, const std::string& text) {
    b.replace(at, text.size(), text);
}

TEST(CartListRecord, FieldsReadFromTheirOffsets) {
    std::string b(300, ' ');
    PutText(b, 0, "Greatest Hits of the");
    PutText(b, 20, "Line two head");
    PutText(b, 40, "Caf\xE9 line three");  // é in Windows-1252
    Put32(b, 60, 0x00FF8040);
    Put32(b, 64, 0x80000012);
    Put16(b, 68, -7);
    PutText(b, 70, " Seventies");
    b.replace(80, 20, std::string(20, '\0'));  // rest of tail 1 is zero bytes
    PutText(b, 100, "tail two");
    PutText(b, 130, "tail three");
    b.replace(160, 24, std::string(24, 'x'));  // not read, whatever it holds
    Put32(b, 184, 123456);
    Put16(b, 188, 321);
    PutFloat(b, 190, 1.5f);
    PutFloat(b, 194, -2.25f);
    Put16(b, 198, 99);
    Put16(b, 200, 98);
    for (int i = 0; i < 5; ++i) {
        Put16(b, 202 + 2 * i, static_cast<int16_t>(10 + i));
        PutDouble(b, 212 + 8 * i, 100.125 + i);
        Put16(b, 252 + 2 * i, static_cast<int16_t>(-20 - i));
    }
    for (int i = 0; i < 9; ++i) PutFloat(b, 262 + 4 * i, 0.5f + i);
    Put16(b, 298, 4242);

    CartRecord c = CartRecordFromList(DecodeCartListRecord(b.data()));
    EXPECT_EQ(c.TitleLine1, "Greatest Hits of the Seventies" + std::string(20, ' '));
    EXPECT_EQ(c.TitleLine2, "Line two head       tail two" + std::string(22, ' '));
    EXPECT_EQ(c.TitleLine3, "Caf\xC3\xA9 line three     tail three" + std::string(20, ' '));
    EXPECT_EQ(c.BackColor, 0x00FF8040);
    EXPECT_EQ(c.ForeColor, static_cast<int32_t>(0x80000012));
    EXPECT_EQ(c.ValueA, -7);
    EXPECT_EQ(c.ValueB, 123456);
    EXPECT_EQ(c.ValueC, 321);
    EXPECT_EQ(c.ValueD, 1.5f);
    EXPECT_EQ(c.ValueE, -2.25f);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(c.ValueF[i], 10 + i);
        EXPECT_EQ(c.ValueG[i], 100.125 + i);
        EXPECT_EQ(c.ValueH[i], -20 - i);
    }
    for (int i = 0; i < 9; ++i) EXPECT_EQ(c.Times[i], 0.5f + i);
    EXPECT_EQ(c.Length(), 2.5f);
    EXPECT_EQ(c.AudioLength(), 3.5f);
    EXPECT_EQ(c.StartMarker(), 4.5f);
    EXPECT_EQ(c.EndMarker(), 5.5f);
    EXPECT_EQ(c.MarkedLength(), 6.5f);
    EXPECT_EQ(c.ValueJ, 4242);

    // Written back, every field read lands on its offset again; what is not read is written
    // as zeros.
    CartRecordBytes again = EncodeCartListRecord(CartListRecordFrom(c));
    std::string expected = b;
    expected.replace(80, 20, std::string(20, ' '));  // the zero tail comes back as blanks
    expected.replace(160, 24, std::string(24, '\0'));
    Put16(expected, 198, 0);
    Put16(expected, 200, 0);
    EXPECT_EQ(std::string(again.data(), again.size()), expected);
}

// A lookup decodes straight from the bytes; it must give the cart the stored form gives, for
// every shape of title (zero bytes in a head or a tail, full tails, 8-bit characters).
TEST(CartListRecord, DecodedStraightFromBytesAsFromTheStoredForm) {
    std::string numbers(300, '\0');
    // Numeric bytes below 0x40, so that no single or double is a NaN the comparison would
    // refuse.
    for (int i = 60; i < 300; ++i) numbers[i] = static_cast<char>((i * 37 + 11) & 0x3F);
    struct Titles {
        std::string heads;  // 60 bytes: three heads of 20
        std::string tails;  // 90 bytes: three tails of 30
    };
    const Titles cases[] = {
        {std::string(60, ' '), std::string(90, ' ')},
        {std::string(60, 'A'), std::string(90, 'b')},  // every tail full, no zero byte
        {std::string(60, '\0'), std::string(90, '\0')},
        {"Head\0with zero     " + std::string(40, 'h'),
         "tail" + std::string(26, '\0') + std::string(30, '\0') + "x\0y" + std::string(27, ' ')},
        {"Caf\xE9 \x80\x93\x9F\xFF" + std::string(50, '\xA0'),
         std::string(30, '\x85') + "\xE9t\xE9" + std::string(27, ' ') + std::string(30, ' ')},
    };
    for (const Titles& t : cases) {
        std::string b = numbers;
        b.replace(0, 60, t.heads);
        b.replace(70, 90, t.tails);
        CartRecord expected = CartRecordFromList(DecodeCartListRecord(b.data()));
        CartRecord got = CartRecordFromBytes(b.data());
        EXPECT_EQ(got.TitleLine1, expected.TitleLine1);
        EXPECT_EQ(got.TitleLine2, expected.TitleLine2);
        EXPECT_EQ(got.TitleLine3, expected.TitleLine3);
        EXPECT_TRUE(got == expected);
    }
}

// The import decodes only the first title line and the timings: those must be the whole
// decode's, damaged timings included, and nothing else may carry over from the bytes.
TEST(CartListRecord, TitleAndTimesDecodeAsTheWholeRecordDoes) {
    std::string base(300, '\0');
    for (int i = 60; i < 300; ++i) base[i] = static_cast<char>((i * 37 + 11) & 0x3F);
    std::string heads = "Caf\xE9 \x80";
    heads.resize(60, 'h');
    std::string tails("tail\0rest", 9);
    tails.resize(90, 'y');
    base.replace(0, 60, heads);
    base.replace(70, 90, tails);
    ASSERT_EQ(base.size(), 300u);
    const float huge = 3e38f;
    const float infinite = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int time;  // which timing is set (-1: none)
        float value;
    };
    const Case cases[] = {{-1, 0}, {2, 386.5f}, {3, -1}, {2, huge}, {3, infinite}, {8, nan},
                          {0, -86401}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.time) + " " + std::to_string(c.value));
        std::string b = base;
        if (c.time >= 0) PutFloat(b, 262 + 4 * c.time, c.value);
        const CartRecord whole = CartRecordFromBytes(b.data());
        const CartRecord used = CartRecordFromBytes(b.data(), CartFields::TitleAndTimes);
        EXPECT_EQ(used.TitleLine1, whole.TitleLine1);
        EXPECT_EQ(used.Times, whole.Times);
        EXPECT_EQ(used.TimingDamaged, whole.TimingDamaged);
        CartRecord cleared;
        cleared.TitleLine1 = whole.TitleLine1;
        cleared.Times = whole.Times;
        EXPECT_TRUE(used == cleared);
    }
}

TEST(CartListRecord, TitleTailWithSpacesOrZerosJoinsTheSame) {
    for (char filler : {' ', '\0'}) {
        CartListRecord stored = CartListRecordFrom(MakeEmptyCart(0, 0));
        stored.TitleHead[0] = "Greatest Hits of the";
        stored.TitleTail[0] = " Seventies" + std::string(20, filler);
        CartRecord c = CartRecordFromList(stored);
        EXPECT_EQ(Trim(c.TitleLine1), "Greatest Hits of the Seventies") << int(filler);
        EXPECT_EQ(c.TitleLine1.size(), 50u);
    }
}

TEST(CartListRecord, EmptyCartStoredForm) {
    CartRecordBytes b =
        EncodeCartListRecord(CartListRecordFrom(MakeEmptyCart(0x8000000F, 0x80000012)));
    std::string bytes(b.data(), b.size());
    EXPECT_EQ(bytes.substr(0, 60), std::string(60, ' '));
    EXPECT_EQ(bytes.substr(70, 90), std::string(90, ' '));
    EXPECT_EQ(bytes.substr(160, 24), std::string(24, '\0'));
    CartListRecord back = DecodeCartListRecord(b.data());
    EXPECT_EQ(back.BackColor, static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(back.ForeColor, static_cast<int32_t>(0x80000012));
    EXPECT_EQ(back.Times[3], -1.0f);  // AudioLength
    EXPECT_EQ(back.Times[6], -1.0f);  // MarkedLength
    for (int i : {0, 1, 2, 4, 5, 7, 8}) EXPECT_EQ(back.Times[i], 0.0f) << i;
    EXPECT_EQ(back.ValueA, 0);
    EXPECT_EQ(back.ValueC, 0);
}

CartRecord WithTitles(const std::string& a, const std::string& b, const std::string& c) {
    CartRecord r = MakeEmptyCart(0, 0);
    r.TitleLine1 = a;
    r.TitleLine2 = b;
    r.TitleLine3 = c;
    return r;
}

std::string Padded(const std::string& text) {
    return text + std::string(50 - text.size(), ' ');
}

TEST(CartTitleText, JoinsLinesAndBrokenWords) {
    const std::string line1 = "Ladies and gentlemen, please welcome the one and o";
    ASSERT_EQ(line1.size(), 50u);  // fills the line and ends in the middle of a word
    struct Case {
        CartRecord record;
        bool joinWords;
        std::string expected;
    } cases[] = {
        {WithTitles(line1, Padded("nly"), Padded("")), true,
         "Ladies and gentlemen, please welcome the one and only"},
        {WithTitles(Padded("Morning"), Padded("Show"), Padded("Intro")), true,
         "Morning Show Intro"},
        {WithTitles(Padded(""), Padded("  Middle  "), Padded("")), true, "Middle"},
        {WithTitles(Padded(""), Padded(""), Padded("")), true, ""},
        {WithTitles(Padded("A"), Padded("B"), Padded("C")), false,
         Padded("A") + Padded("B") + Padded("C")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CartTitleText(c.record, c.joinWords), c.expected) << c.expected;
}

TEST(CartNumbers, PartAndRecordAtTheEdges) {
    struct Case {
        int32_t cart;
        int part;
        int32_t record;
    } cases[] = {
        {0, 0, 1000},      {1, 1, 1},      {1000, 1, 1000},   {1001, 2, 1},     {9999, 10, 999},
        {10000, 10, 1000}, {10001, 11, 1}, {12345, 11, 2345}, {-5, 11, -10005},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PartOfCart(c.cart), c.part) << c.cart;
        EXPECT_EQ(RecordOfCart(c.cart), c.record) << c.cart;
    }
}

TEST(CartNumbers, PartsInUseAndTheirLength) {
    EXPECT_EQ(LastPartInUse(9999), 10);
    EXPECT_EQ(ExpectedRecordCount(1, 9999), 1000);
    EXPECT_EQ(ExpectedRecordCount(10, 9999), 999);
    EXPECT_EQ(LastPartInUse(12000), 11);
    EXPECT_EQ(ExpectedRecordCount(10, 12000), 1000);
    EXPECT_EQ(ExpectedRecordCount(11, 12000), 2000);
    EXPECT_EQ(LastPartInUse(1), 1);
    EXPECT_EQ(ExpectedRecordCount(1, 1), 1);
    // A count below 1 is a cart number below 1, which belongs to part 11: every part is in
    // use, and part 11 expects no record.
    EXPECT_EQ(LastPartInUse(0), 11);
    EXPECT_EQ(LastPartInUse(-3), 11);
    EXPECT_EQ(ExpectedRecordCount(10, 0), 1000);
    EXPECT_LT(ExpectedRecordCount(11, 0), 1);
}

// A damaged list may hold any bits in a cart's timings. A value that is not a finite number of
// seconds within a day is read as 0 and the cart is marked damaged; the empty cart's -1 and
// every real timing are kept.
TEST(CartRecord, TimingsOutsideADayAreReadAsZeroAndMarkTheCartDamaged) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int field;  // index into Times
        float stored;
        float read;
        bool damaged;
    } cases[] = {
        {2, 180.5f, 180.5f, false}, {3, -1, -1, false},  {2, 86400, 86400, false},
        {2, 3e38f, 0, true},        {3, inf, 0, true},   {0, nan, 0, true},
        {1, -inf, 0, true},         {2, 86401, 0, true}, {7, -1e9f, 0, true},
        {8, 1e30f, 0, true},
    };
    for (const Case& c : cases) {
        CartRecord cart = MakeEmptyCart(0, 0);
        cart.Length() = 10;
        cart.Times[c.field] = c.stored;
        CartRecordBytes bytes = EncodeCartListRecord(CartListRecordFrom(cart));
        for (const CartRecord& read : {CartRecordFromBytes(bytes.data()),
                                       CartRecordFromList(DecodeCartListRecord(bytes.data()))}) {
            EXPECT_EQ(read.Times[c.field], c.read) << c.field << " " << c.stored;
            EXPECT_EQ(read.TimingDamaged, c.damaged) << c.field << " " << c.stored;
            if (c.field != 2) {
                EXPECT_EQ(read.Length(), 10);  // the others are kept
            }
        }
    }
}

TEST(CartNumbers, PaddingStartsAfterTheLastWholeRecordHalfToEven) {
    struct Case {
        int64_t length;
        int64_t first;
    } cases[] = {{0, 1}, {300, 2}, {450, 2}, {600, 3}, {750, 4}, {751, 4}, {899, 4}, {1050, 4}};
    for (const Case& c : cases) EXPECT_EQ(FirstPaddingRecord(c.length), c.first) << c.length;
}

}  // namespace
}  // namespace vantor
