#pragma once
// Writes a scheduler log file the way the music scheduler does: one line at a time, items and
// notes placed in their fixed columns, Windows-1252 on disk. Texts are given in UTF-8.

#include <string>

namespace vantor::demo {

// One item line ("#", or "@" with its continuation lines).
struct LogItem {
    std::string cart;          // columns 2-8
    std::string title;         // columns 10-42
    std::string description2;  // columns 44-63
    std::string ending;        // columns 74-75 ("E", "F" or "")
    char endCode = ' ';        // column 80
    // "@" items only: written on the continuation lines.
    bool continued = false;
    std::string description3;  // first continuation line, columns 44-63
    std::string notes;         // second continuation line, columns 10-80 (written when the
                               // first continuation line is not blank)
};

class SchedulerLogWriter {
  public:
    // "+" date " " hour(2 digits) " " text: the compact header.
    SchedulerLogWriter& Header(const std::string& date, int hour, const std::string& text = "");
    // "+*" then "Date :", "Hour :" and "Clock:" lines.
    SchedulerLogWriter& BlockHeader(const std::string& date, const std::string& hour,
                                    const std::string& clock);
    SchedulerLogWriter& Item(const LogItem& item);
    // "#" item with a cart number and title only.
    SchedulerLogWriter& Item(const std::string& cart, const std::string& title = "",
                             char endCode = ' ');
    // ":" note whose text starts at column 15. When a cart (columns 64-67), a duration
    // (columns 70-74, "m:ss" right-aligned) or an end code (column 80) is given, the text is
    // padded to its columns.
    SchedulerLogWriter& Note(const std::string& text, const std::string& cart = "",
                             const std::string& duration = "", char endCode = ' ');
    // Any line as it is (UTF-8, converted).
    SchedulerLogWriter& Line(const std::string& text);
    // Raw bytes appended without conversion and without a line end.
    SchedulerLogWriter& Raw(const std::string& bytes);

    // Lines end in carriage return and line feed, as on the stations; set false for bare
    // line feeds.
    SchedulerLogWriter& CrLf(bool crlf) {
        crlf_ = crlf;
        return *this;
    }

    const std::string& Bytes() const { return bytes_; }
    // Writes the file (creating directories); returns the path.
    std::string Save(const std::string& path) const;

  private:
    void AddLine(const std::string& bytes);

    std::string bytes_;
    bool crlf_ = true;
};

// Places Windows-1252 text in a fixed column (1-based) of a line, padding with blanks.
void PutColumn(std::string& line, size_t column, const std::string& text);

}  // namespace vantor::demo
