#include "importer/scheduler_log.h"

#include "playoutdb/playout_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "common/codepage.h"
#include "common/ole_date.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/text.h"

namespace vantor {

namespace {

constexpr char kFormFeed = '\x0C';

// Columns start1 to start1 + count - 1 (from 1) of a raw line, as much of them as it holds.
std::string_view RawColumn(std::string_view raw, size_t start1, size_t count) {
    if (start1 > raw.size()) return {};
    return raw.substr(start1 - 1, count);
}

// Blanks are plain ASCII, so a raw column is trimmed before it is converted.
std::string_view TrimmedView(std::string_view raw) {
    while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
    return raw;
}

// A code column, trimmed and in capitals. The codes are plain letters and signs, compared and
// never stored, so only a column holding anything else goes through the conversion.
void AssignCode(std::string_view raw, std::string& out) {
    raw = TrimmedView(raw);
    const bool ascii = std::all_of(raw.begin(), raw.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        out = ToUpper(Cp1252ToUtf8(raw));
        return;
    }
    out.assign(raw);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
}

bool IsBlankLine(std::string_view raw) {
    return TrimmedView(raw).empty();
}

}  // namespace

SchedulerLogNaming SchedulerLogNamingOf(const DbSettings& settings) {
    return {settings.MUSIC_LogPath, settings.MUSIC_FilenamePrefix,
            Trim(settings.MUSIC_FilenameFormat)};
}

std::string LogFileName(int32_t day, const SchedulerLogNaming& naming) {
    std::string pattern = Trim(naming.dateFormat);
    std::string name;
    if (day == -1) {
        name = naming.prefix + "*" + ".LOG";
    } else if (pattern.empty()) {
        name = naming.prefix + ".LOG";
    } else {
        name = naming.prefix + FormatDate(static_cast<OleDate>(day), pattern) + ".LOG";
    }
    return JoinPath(NativePath(naming.logPath), name);
}

LogLineKind KindOfLine(std::string_view rawLine) {
    if (rawLine.empty()) return LogLineKind::Comment;
    switch (rawLine.front()) {
        case '+':
            return LogLineKind::HourHeader;
        case ':':
            return LogLineKind::BreakNote;
        case '@':
            return LogLineKind::ItemWithContinuations;
        case '#':
            return LogLineKind::Item;
        case '=':
        case ';':
        case '*':
        case '-':
        case '\'':
            return LogLineKind::Comment;
        default:
            return LogLineKind::Other;
    }
}

namespace {

// Why something that is not a regular file cannot be a day's log.
std::string NotARegularFile(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a directory";
    if (S_ISFIFO(mode)) return "it is a named pipe (FIFO)";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
    if (S_ISSOCK(mode)) return "it is a socket";
    return "it is not a regular file";
}

}  // namespace

SchedulerLogReader::SchedulerLogReader(const std::string& path) {
    const std::string resolved = ResolvePath(path);
    struct stat st;
    if (::stat(resolved.c_str(), &st) != 0) {
        const int statError = errno;
        struct stat link;
        if (::lstat(resolved.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            unreadable_ = "it is a link to " + std::string(statError == ENOENT
                                                               ? "a file that does not exist"
                                                               : std::strerror(statError));
        } else if (statError != ENOENT && statError != ENOTDIR) {
            unreadable_ = std::strerror(statError);
        }
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        unreadable_ = NotARegularFile(st.st_mode);
        return;
    }
    // Opened without blocking and checked again on the open file: something swapped in under
    // the name since the look above is still never read.
    const int fd = ::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        unreadable_ = std::strerror(errno);
        return;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        unreadable_ = NotARegularFile(st.st_mode);
        ::close(fd);
        return;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
        unreadable_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    length_ = static_cast<int64_t>(st.st_size);
}

SchedulerLogReader::~SchedulerLogReader() {
    if (file_) std::fclose(file_);
}

bool SchedulerLogReader::Fill() {
    if (!file_ || ended_) return false;
    if (unreadFrom_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + unreadFrom_, filled_ - unreadFrom_);
        filled_ -= unreadFrom_;
        unreadFrom_ = 0;
    }
    constexpr size_t kBlockSize = 64 * 1024;
    if (buffer_.size() < kBlockSize) buffer_.resize(kBlockSize);
    if (filled_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    const size_t n = std::fread(buffer_.data() + filled_, 1, buffer_.size() - filled_, file_);
    if (n == 0) {
        ended_ = true;
        return false;
    }
    filled_ += n;
    return true;
}

bool SchedulerLogReader::AtEnd() {
    if (!file_) return true;
    return unreadFrom_ == filled_ && !Fill();
}

std::string SchedulerLogReader::ReadLine() {
    return std::string(NextLine());
}

std::string_view SchedulerLogReader::NextLine() {
    if (!file_) return {};
    size_t searched = 0;  // unread bytes already searched for the line end
    const char* end = nullptr;
    for (;;) {
        // An empty buffer may have no storage at all, and memchr takes no null pointer.
        const size_t unsearched = filled_ - unreadFrom_ - searched;
        const char* unread = buffer_.data() + unreadFrom_;
        end = unsearched == 0 ? nullptr
                              : static_cast<const char*>(
                                    std::memchr(unread + searched, '\n', unsearched));
        if (end) break;
        searched = filled_ - unreadFrom_;
        if (!Fill()) break;
    }
    char* line = buffer_.data() + unreadFrom_;
    const size_t length = end ? static_cast<size_t>(end - line) : filled_ - unreadFrom_;
    const size_t consumed = length + (end ? 1 : 0);
    if (consumed == 0) return {};
    // Ended by the end of the file rather than a line end.
    if (!end) cutShort_ = true;
    position_ += static_cast<int64_t>(consumed);
    unreadFrom_ += consumed;
    ++lines_;
    // Carriage returns are dropped wherever they stand, as the scheduler's own reader does.
    // The line's bytes are read and passed, so it is closed up where it lies.
    char* kept = std::remove(line, line + length, '\r');
    std::string_view raw(line, static_cast<size_t>(kept - line));
    if (!raw.empty() && raw.front() == kFormFeed) raw.remove_prefix(1);
    return raw;
}

int SchedulerLogReader::PercentRead() const {
    if (length_ <= 0) return 100;
    int64_t percent = position_ * 100 / length_;
    return static_cast<int>(percent > 100 ? 100 : percent);
}

SchedulerItem CutItemLine(std::string_view rawLine) {
    SchedulerItem item;
    CutItemLine(rawLine, item);
    return item;
}

void CutItemLine(std::string_view rawLine, SchedulerItem& item) {
    item.hasContinuations = !rawLine.empty() && rawLine.front() == '@';
    AssignCp1252ToUtf8(TrimmedView(RawColumn(rawLine, 2, 7)), item.cartNumber);
    AssignCp1252ToUtf8(RawColumn(rawLine, 10, 33), item.title);
    AssignCp1252ToUtf8(RawColumn(rawLine, 44, 20), item.description2);
    AssignCode(RawColumn(rawLine, 74, 2), item.endingCode);
    AssignCode(RawColumn(rawLine, 80, 1), item.endCode);
    item.description3.clear();
    item.notes.clear();
}

void ReadItemContinuations(SchedulerLogReader& reader, SchedulerItem& item) {
    if (!item.hasContinuations) return;
    // Each line is a view into the reader, used up before the next one is read.
    std::string_view first = reader.NextLine();
    AssignCp1252ToUtf8(RawColumn(first, 44, 20), item.description3);
    if (IsBlankLine(first)) return;
    AssignCp1252ToUtf8(RawColumn(reader.NextLine(), 10, 71), item.notes);
}

std::string NoteTextOf(std::string_view rawLine) {
    return MidOf(rawLine, 15);
}

std::optional<int> WholeHourOf(std::string_view text) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    size_t digits = 0;
    int hour = 0;
    while (digits < text.size() && isDigit(text[digits]) && hour <= 23) {
        hour = hour * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0 || hour > 23) return std::nullopt;
    if (digits < text.size()) {
        const char next = text[digits];
        const bool letter = (next >= 'A' && next <= 'Z') || (next >= 'a' && next <= 'z');
        if (letter || isDigit(next) || next == '.' || next == ',') return std::nullopt;
    }
    return hour;
}

int32_t ParseBlockHeaderDate(std::string_view rawDateLine, int thisYear) {
    std::string line(rawDateLine);
    // Schedulers of the last century wrote two-digit years; those below 20 belong to this one.
    // Only a year of exactly two digits gets its century: "20" put into the middle of a
    // four-digit year ("7/3/2019") would turn a good date into a wrong or invalid one.
    auto isDigit = [&line](long column) {
        std::string c = MidOf(line, column, 1);
        return !c.empty() && c[0] >= '0' && c[0] <= '9';
    };
    std::optional<double> yearDigits = ParseNumber(MidOf(line, 14, 2));
    if (isDigit(14) && isDigit(15) && !isDigit(13) && !isDigit(16) && yearDigits &&
        *yearDigits < 20) {
        line.insert(13, "20");
    }
    std::optional<OleDate> date = ParseDate(Trim(Cp1252ToUtf8(MidOf(line, 7))), thisYear);
    if (!date) return -1;
    if (*date < DateSerial(1980, 1, 1)) {
        // A two-digit year read into the 1900s: no station has logs from before 1980.
        std::string rebuilt = FormatDate(*date, "dd mmm") + " 20" + FormatDate(*date, "yy");
        date = ParseDate(rebuilt, thisYear);
        if (!date) return -1;
    }
    return static_cast<int32_t>(std::floor(*date));
}

namespace {

bool ReadCompactHeader(const std::string& rawLine, DayTime& stamp, std::string& headerText,
                       UserInterface& ui, int thisYear) {
    long blankAt = 0;
    std::string dateWord = Cp1252ToUtf8(NextField(rawLine, 2, " ", blankAt, true, true));
    std::optional<OleDate> date;
    if (!dateWord.empty()) date = ParseDate(dateWord, thisYear);
    if (!date || blankAt == 0) {
        ProblemReport(ui, "reading the date from the Music Log");
        return false;
    }
    long hourBlankAt = 0;
    std::string hourWord = NextField(rawLine, blankAt + 1, " ", hourBlankAt, true, true);
    // The hour is the word's first two characters. One that is not a whole hour of the day
    // ("ab" would read as 00, 24 would stand after every hour and hide them all from the
    // search) is refused like a header whose date cannot be read.
    std::optional<int> hour = WholeHourOf(LeftOf(hourWord, 2));
    if (!hour) {
        ProblemReport(ui, "reading the time from the Music Log");
        return false;
    }
    stamp.day = static_cast<int32_t>(std::floor(*date));
    stamp.seconds = static_cast<float>(*hour * 3600);
    headerText = hourBlankAt == 0 ? "" : Cp1252ToUtf8(MidOf(rawLine, hourBlankAt + 1));
    return true;
}

// Reads forward until a line begins with the given six characters; false at the end.
bool ReadUntil(SchedulerLogReader& reader, std::string& rawLine, std::string_view lead) {
    while (!reader.AtEnd()) {
        rawLine = reader.ReadLine();
        if (rawLine.compare(0, lead.size(), lead) == 0) return true;
    }
    return false;
}

bool ReadBlockHeader(SchedulerLogReader& reader, std::string& rawLine, DayTime& stamp,
                     std::string& headerText, UserInterface& ui, int thisYear) {
    if (!ReadUntil(reader, rawLine, "Date :")) return false;
    int32_t day = ParseBlockHeaderDate(rawLine, thisYear);
    if (day < 0) {
        ProblemReport(ui, "reading the date from the Music Log");
        return false;
    }
    if (!ReadUntil(reader, rawLine, "Hour :")) return false;
    std::optional<int> hour = WholeHourOf(Trim(MidOf(rawLine, 7)));
    if (!hour) {
        ProblemReport(ui, "reading the time from the Music Log");
        return false;
    }
    if (!ReadUntil(reader, rawLine, "Clock:")) return false;
    stamp.day = day;
    stamp.seconds = static_cast<float>(*hour * 3600);
    headerText = Trim(Cp1252ToUtf8(MidOf(rawLine, 7)));
    return true;
}

}  // namespace

bool ReadHourHeader(SchedulerLogReader& reader, std::string& rawLine, DayTime& stamp,
                    std::string& headerText, UserInterface& ui, int thisYear) {
    if (rawLine.size() >= 2 && rawLine[1] == '*') {
        return ReadBlockHeader(reader, rawLine, stamp, headerText, ui, thisYear);
    }
    return ReadCompactHeader(rawLine, stamp, headerText, ui, thisYear);
}

}  // namespace vantor
