#include "audiowall/cart_record.h"

#include <bit>
#include <cstring>

#include "common/codepage.h"
#include "common/text.h"

namespace vantor {
namespace {

// Byte-wise little-endian access, so the layout holds on any host.
template <typename T>
void PutLittle(char* out, T value) {
    using U = std::conditional_t<sizeof(T) == 2, uint16_t,
                                 std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>;
    U bits = std::bit_cast<U>(value);
    for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

template <typename T>
T GetLittle(const char* in) {
    using U = std::conditional_t<sizeof(T) == 2, uint16_t,
                                 std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>;
    U bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        bits |= static_cast<U>(static_cast<unsigned char>(in[i])) << (8 * i);
    return std::bit_cast<T>(bits);
}

void PutText(char* out, const std::string& bytes, size_t width) {
    std::memset(out, ' ', width);
    std::memcpy(out, bytes.data(), std::min(width, bytes.size()));
}

// Pads or cuts 8-bit text to exactly width bytes.
std::string FixedBytes(std::string bytes, size_t width) {
    bytes.resize(width, ' ');
    return bytes;
}

// Every time of a cart is seconds within a day; a damaged list may hold any bits there (3e38,
// infinities, NaN), which would carry into start times, hour lengths and whole-number
// conversions. Such a value reads as 0 and the cart says it is damaged.
void BoundTimes(CartRecord& cart) {
    constexpr float kDay = 86400.0f;
    for (float& time : cart.Times) {
        if (!(time >= -kDay && time <= kDay)) {
            time = 0;
            cart.TimingDamaged = true;
        }
    }
}

}  // namespace

CartRecordBytes EncodeCartListRecord(const CartListRecord& r) {
    namespace o = cart_offset;
    CartRecordBytes b{};  // zeros: the unused fields stay zero
    for (int i = 0; i < kTitleLineCount; ++i) {
        PutText(b.data() + o::kTitleHead + i * kTitleHeadWidth, r.TitleHead[i], kTitleHeadWidth);
        PutText(b.data() + o::kTitleTail + i * kTitleTailWidth, r.TitleTail[i], kTitleTailWidth);
    }
    PutLittle(b.data() + o::kBackColor, r.BackColor);
    PutLittle(b.data() + o::kForeColor, r.ForeColor);
    PutLittle(b.data() + o::kValueA, r.ValueA);
    PutLittle(b.data() + o::kValueB, r.ValueB);
    PutLittle(b.data() + o::kValueC, r.ValueC);
    PutLittle(b.data() + o::kValueD, r.ValueD);
    PutLittle(b.data() + o::kValueE, r.ValueE);
    for (int i = 0; i < 5; ++i) {
        PutLittle(b.data() + o::kValueF + 2 * i, r.ValueF[i]);
        PutLittle(b.data() + o::kValueG + 8 * i, r.ValueG[i]);
        PutLittle(b.data() + o::kValueH + 2 * i, r.ValueH[i]);
    }
    for (int i = 0; i < kCartTimeCount; ++i) PutLittle(b.data() + o::kTimes + 4 * i, r.Times[i]);
    PutLittle(b.data() + o::kValueJ, r.ValueJ);
    return b;
}

// The numeric fields sit at the same offsets whichever record type is being filled.
template <typename Record>
static void DecodeNumbers(const char* b, Record& r) {
    namespace o = cart_offset;
    r.BackColor = GetLittle<int32_t>(b + o::kBackColor);
    r.ForeColor = GetLittle<int32_t>(b + o::kForeColor);
    r.ValueA = GetLittle<int16_t>(b + o::kValueA);
    r.ValueB = GetLittle<int32_t>(b + o::kValueB);
    r.ValueC = GetLittle<int16_t>(b + o::kValueC);
    r.ValueD = GetLittle<float>(b + o::kValueD);
    r.ValueE = GetLittle<float>(b + o::kValueE);
    for (int i = 0; i < 5; ++i) {
        r.ValueF[i] = GetLittle<int16_t>(b + o::kValueF + 2 * i);
        r.ValueG[i] = GetLittle<double>(b + o::kValueG + 8 * i);
        r.ValueH[i] = GetLittle<int16_t>(b + o::kValueH + 2 * i);
    }
    for (int i = 0; i < kCartTimeCount; ++i) r.Times[i] = GetLittle<float>(b + o::kTimes + 4 * i);
    r.ValueJ = GetLittle<int16_t>(b + o::kValueJ);
}

CartListRecord DecodeCartListRecord(const char* b) {
    namespace o = cart_offset;
    CartListRecord r;
    for (int i = 0; i < kTitleLineCount; ++i) {
        r.TitleHead[i].assign(b + o::kTitleHead + i * kTitleHeadWidth, kTitleHeadWidth);
        r.TitleTail[i].assign(b + o::kTitleTail + i * kTitleTailWidth, kTitleTailWidth);
    }
    DecodeNumbers(b, r);
    return r;
}

const std::string& CartRecord::TitleLine(int line) const {
    return line == 1 ? TitleLine1 : line == 2 ? TitleLine2 : TitleLine3;
}

std::string& CartRecord::TitleLine(int line) {
    return line == 1 ? TitleLine1 : line == 2 ? TitleLine2 : TitleLine3;
}

bool operator==(const CartRecord& a, const CartRecord& b) {
    // Compared bit for bit on the numbers, so that two empty carts with -1 and NaN-free
    // values compare the way they were built.
    return a.TitleLine1 == b.TitleLine1 && a.TitleLine2 == b.TitleLine2 &&
           a.TitleLine3 == b.TitleLine3 && a.BackColor == b.BackColor &&
           a.ForeColor == b.ForeColor && a.ValueA == b.ValueA && a.ValueD == b.ValueD &&
           a.ValueE == b.ValueE && a.ValueF == b.ValueF && a.ValueG == b.ValueG &&
           a.ValueH == b.ValueH && a.Times == b.Times && a.ValueJ == b.ValueJ &&
           a.ValueB == b.ValueB && a.ValueC == b.ValueC;
}

CartRecord CartRecordFromList(const CartListRecord& s) {
    CartRecord c;
    for (int i = 0; i < kTitleLineCount; ++i) {
        // Writers leave the unused end of a tail either blank or zero-filled; the text stops
        // at the first zero byte either way.
        const std::string& tail = s.TitleTail[i];
        std::string line =
            FixedBytes(s.TitleHead[i], kTitleHeadWidth) + tail.substr(0, tail.find('\0'));
        c.TitleLine(i + 1) = Cp1252ToUtf8(FixedBytes(line, kTitleLineWidth));
    }
    c.BackColor = s.BackColor;
    c.ForeColor = s.ForeColor;
    c.ValueA = s.ValueA;
    c.ValueD = s.ValueD;
    c.ValueE = s.ValueE;
    c.ValueF = s.ValueF;
    c.ValueG = s.ValueG;
    c.ValueH = s.ValueH;
    c.Times = s.Times;
    c.ValueJ = s.ValueJ;
    c.ValueB = s.ValueB;
    c.ValueC = s.ValueC;
    BoundTimes(c);
    return c;
}

CartRecord CartRecordFromBytes(const char* b, CartFields fields) {
    namespace o = cart_offset;
    CartRecord c;
    const int lines = fields == CartFields::All ? kTitleLineCount : 1;
    for (int i = 0; i < lines; ++i) {
        // Head, then the tail up to its first zero byte, padded with blanks: the line as
        // CartRecordFromList builds it, without the copies of the stored form.
        char line[kTitleLineWidth];
        std::memcpy(line, b + o::kTitleHead + i * kTitleHeadWidth, kTitleHeadWidth);
        const char* tail = b + o::kTitleTail + i * kTitleTailWidth;
        const void* zero = std::memchr(tail, '\0', kTitleTailWidth);
        size_t kept = zero ? static_cast<size_t>(static_cast<const char*>(zero) - tail)
                           : static_cast<size_t>(kTitleTailWidth);
        std::memcpy(line + kTitleHeadWidth, tail, kept);
        std::memset(line + kTitleHeadWidth + kept, ' ', kTitleTailWidth - kept);
        c.TitleLine(i + 1) = Cp1252ToUtf8(std::string_view(line, kTitleLineWidth));
    }
    if (fields == CartFields::All) {
        DecodeNumbers(b, c);
    } else {
        for (int i = 0; i < kCartTimeCount; ++i)
            c.Times[i] = GetLittle<float>(b + o::kTimes + 4 * i);
    }
    BoundTimes(c);
    return c;
}

CartListRecord CartListRecordFrom(const CartRecord& c) {
    CartListRecord s;
    for (int i = 0; i < kTitleLineCount; ++i) {
        std::string line = FixedBytes(Utf8ToCp1252(c.TitleLine(i + 1)), kTitleLineWidth);
        s.TitleHead[i] = line.substr(0, kTitleHeadWidth);
        s.TitleTail[i] = line.substr(kTitleHeadWidth, kTitleTailWidth);
    }
    s.BackColor = c.BackColor;
    s.ForeColor = c.ForeColor;
    s.ValueA = c.ValueA;
    s.ValueB = c.ValueB;
    s.ValueC = c.ValueC;
    s.ValueD = c.ValueD;
    s.ValueE = c.ValueE;
    s.ValueF = c.ValueF;
    s.ValueG = c.ValueG;
    s.ValueH = c.ValueH;
    s.Times = c.Times;
    s.ValueJ = c.ValueJ;
    return s;
}

CartRecord MakeEmptyCart(int32_t backColor, int32_t foreColor) {
    CartRecord c;
    const std::string blank(kTitleLineWidth, ' ');
    c.TitleLine1 = c.TitleLine2 = c.TitleLine3 = blank;
    c.BackColor = backColor;
    c.ForeColor = foreColor;
    c.AudioLength() = -1;
    c.MarkedLength() = -1;
    return c;
}

std::string CartTitleText(const CartRecord& record, bool joinWords) {
    if (!joinWords) return record.TitleLine1 + record.TitleLine2 + record.TitleLine3;
    std::string text;
    for (int line = 1; line <= kTitleLineCount; ++line) {
        const std::string& title = record.TitleLine(line);
        bool fillsLine =
            CharacterCount(title) >= static_cast<size_t>(kTitleLineWidth) && title.back() != ' ';
        if (fillsLine) {
            // The line runs on into the next one, possibly in the middle of a word.
            text += title;
        } else {
            std::string trimmed = Trim(title);
            if (!trimmed.empty()) text += trimmed + " ";
        }
    }
    return Trim(text);
}

}  // namespace vantor
