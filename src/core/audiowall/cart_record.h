#pragma once
// A cart as the Audiowall keeps it. Every cart list file is a plain run of fixed 300-byte
// records (no header); the playout programs of the family read and write the same files, so
// the byte layout below is a contract with them and must not move.
//
// CartListRecord is the record as stored (texts as raw Windows-1252 bytes, fields not used
// here kept so that a record written back is whole); CartRecord is what a lookup hands out.

#include <array>
#include <cstdint>
#include <string>

namespace vantor {

constexpr int kCartRecordSize = 300;
constexpr int kTitleLineCount = 3;
constexpr int kTitleHeadWidth = 20;  // characters 1 to 20 of a title line
constexpr int kTitleTailWidth = 30;  // characters 21 to 50
constexpr int kTitleLineWidth = kTitleHeadWidth + kTitleTailWidth;
constexpr int kCartTimeCount = 9;

// Byte offsets of the stored fields.
namespace cart_offset {
constexpr int kTitleHead = 0;  // 3 x 20 bytes
constexpr int kBackColor = 60;
constexpr int kForeColor = 64;
constexpr int kValueA = 68;
constexpr int kTitleTail = 70;   // 3 x 30 bytes
constexpr int kUnused160 = 160;  // 24 bytes, always written as zeros
constexpr int kValueB = 184;
constexpr int kValueC = 188;
constexpr int kValueD = 190;
constexpr int kValueE = 194;
constexpr int kUnused198 = 198;
constexpr int kUnused200 = 200;
constexpr int kValueF = 202;  // 5 x int16
constexpr int kValueG = 212;  // 5 x double
constexpr int kValueH = 252;  // 5 x int16
constexpr int kTimes = 262;   // 9 x single
constexpr int kValueJ = 298;
}  // namespace cart_offset

// The stored form. Texts hold exactly their field's bytes (Windows-1252, space padded as the
// writer left them, possibly with zero bytes in a tail).
struct CartListRecord {
    std::array<std::string, kTitleLineCount> TitleHead;  // 20 bytes each
    int32_t BackColor = 0;
    int32_t ForeColor = 0;
    int16_t ValueA = 0;
    std::array<std::string, kTitleLineCount> TitleTail;  // 30 bytes each
    int32_t ValueB = 0;
    int16_t ValueC = 0;
    float ValueD = 0;
    float ValueE = 0;
    std::array<int16_t, 5> ValueF{};
    std::array<double, 5> ValueG{};
    std::array<int16_t, 5> ValueH{};
    std::array<float, kCartTimeCount> Times{};
    int16_t ValueJ = 0;
};

using CartRecordBytes = std::array<char, kCartRecordSize>;

// Little-endian, IEEE-754 singles and doubles, whatever the host. Texts shorter than their
// field are padded with spaces, longer ones cut; the 24 bytes at 160 and the two 16-bit
// values at 198 and 200 are written as zeros.
CartRecordBytes EncodeCartListRecord(const CartListRecord& record);
CartListRecord DecodeCartListRecord(const char* bytes);  // kCartRecordSize bytes

// The in-memory form of a cart, handed out by CartLookup. Title lines are UTF-8 texts of 50
// characters padded with spaces.
struct CartRecord {
    std::string TitleLine1;
    std::string TitleLine2;
    std::string TitleLine3;
    int32_t BackColor = 0;
    int32_t ForeColor = 0;
    int16_t ValueA = 0;
    float ValueD = 0;
    float ValueE = 0;
    std::array<int16_t, 5> ValueF{};
    std::array<double, 5> ValueG{};
    std::array<int16_t, 5> ValueH{};
    std::array<float, kCartTimeCount> Times{};  // seconds
    int16_t ValueJ = 0;
    int32_t ValueB = 0;
    int16_t ValueC = 0;
    // Set when a stored timing was not a finite number of seconds within a day (a damaged
    // list) and was read as 0 instead.
    bool TimingDamaged = false;

    // Times[0] and Times[1] bound the cart's intro; 7 and 8 are carried only.
    float& IntroStart() { return Times[0]; }
    float IntroStart() const { return Times[0]; }
    float& IntroEnd() { return Times[1]; }
    float IntroEnd() const { return Times[1]; }
    // The running length the importer gives a scheduled item.
    float& Length() { return Times[2]; }
    float Length() const { return Times[2]; }
    // Length of the audio; a cart has audio exactly when this is above 0, -1 marks it empty.
    float& AudioLength() { return Times[3]; }
    float AudioLength() const { return Times[3]; }
    float& StartMarker() { return Times[4]; }
    float StartMarker() const { return Times[4]; }
    float& EndMarker() { return Times[5]; }
    float EndMarker() const { return Times[5]; }
    float& MarkedLength() { return Times[6]; }
    float MarkedLength() const { return Times[6]; }
    bool HasAudio() const { return AudioLength() > 0; }

    const std::string& TitleLine(int line) const;  // 1 to 3
    std::string& TitleLine(int line);
};

bool operator==(const CartRecord& a, const CartRecord& b);

// The stored record as a lookup sees it: each title line is its head followed by its tail cut
// before the first zero byte, padded to 50 characters; the fields not read are dropped. A
// timing that is not a finite number of seconds within a day (-86400 to 86400) reads as 0 and
// marks the cart TimingDamaged.
CartRecord CartRecordFromList(const CartListRecord& stored);
// Which fields of a stored record a lookup decodes. A window shows the whole cart; the import
// reads only the first title line (an item's description when the log gives none) and the
// timings, so it is spared the conversion of two title lines and the fields it never reads,
// which it gets as their cleared values.
enum class CartFields { All, TitleAndTimes };

// The same straight from the stored bytes (kCartRecordSize of them), without the stored form in
// between: what every cart lookup uses, since it reads a record each time.
CartRecord CartRecordFromBytes(const char* bytes, CartFields fields = CartFields::All);
// The stored form of a cart: each title line (UTF-8, cut to 50 characters) split into its
// head and tail, both padded with spaces.
CartListRecord CartListRecordFrom(const CartRecord& cart);

// The record of a cart without audio: blank titles, the given colours, AudioLength and
// MarkedLength -1, everything else 0.
CartRecord MakeEmptyCart(int32_t backColor, int32_t foreColor);

// The three title lines as one text. Without joinWords: the lines as they are, padding
// included. With joinWords: a line ending in a blank is trimmed and followed by one blank, a
// line that fills all 50 characters is taken whole, so that a word broken across two lines is
// joined again; the result is trimmed.
std::string CartTitleText(const CartRecord& record, bool joinWords);

}  // namespace vantor
