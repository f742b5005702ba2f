#include "demo/scheduler_log_writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "common/codepage.h"

namespace vantor::demo {

void PutColumn(std::string& line, size_t column, const std::string& text) {
    size_t start = column - 1;
    if (line.size() < start + text.size()) line.resize(start + text.size(), ' ');
    line.replace(start, text.size(), text);
}

void SchedulerLogWriter::AddLine(const std::string& bytes) {
    bytes_ += bytes;
    bytes_ += crlf_ ? "\r\n" : "\n";
}

SchedulerLogWriter& SchedulerLogWriter::Header(const std::string& date, int hour,
                                               const std::string& text) {
    char hourText[8];
    std::snprintf(hourText, sizeof hourText, "%02d", hour);
    std::string line = "+" + date + " " + hourText;
    if (!text.empty()) line += " " + text;
    AddLine(Utf8ToCp1252(line));
    return *this;
}

SchedulerLogWriter& SchedulerLogWriter::BlockHeader(const std::string& date,
                                                    const std::string& hour,
                                                    const std::string& clock) {
    AddLine("+*");
    AddLine(Utf8ToCp1252("Date : " + date));
    AddLine(Utf8ToCp1252("Hour : " + hour));
    AddLine(Utf8ToCp1252("Clock: " + clock));
    return *this;
}

SchedulerLogWriter& SchedulerLogWriter::Item(const LogItem& item) {
    std::string line = item.continued ? "@" : "#";
    PutColumn(line, 2, Utf8ToCp1252(item.cart).substr(0, 7));
    PutColumn(line, 10, Utf8ToCp1252(item.title).substr(0, 33));
    PutColumn(line, 44, Utf8ToCp1252(item.description2).substr(0, 20));
    PutColumn(line, 74, Utf8ToCp1252(item.ending).substr(0, 2));
    PutColumn(line, 80, std::string(1, item.endCode));
    AddLine(line);
    if (item.continued) {
        std::string first;
        if (!item.description3.empty()) {
            first = " ";
            PutColumn(first, 44, Utf8ToCp1252(item.description3).substr(0, 20));
        }
        AddLine(first);
        // A first continuation line that is not blank is always followed by the second.
        if (!item.description3.empty()) {
            std::string second = " ";
            PutColumn(second, 10, Utf8ToCp1252(item.notes).substr(0, 71));
            AddLine(second);
        }
    }
    return *this;
}

SchedulerLogWriter& SchedulerLogWriter::Item(const std::string& cart, const std::string& title,
                                             char endCode) {
    LogItem item;
    item.cart = cart;
    item.title = title;
    item.endCode = endCode;
    return Item(item);
}

SchedulerLogWriter& SchedulerLogWriter::Note(const std::string& text, const std::string& cart,
                                             const std::string& duration, char endCode) {
    std::string line = ":";
    PutColumn(line, 15, Utf8ToCp1252(text));
    if (!cart.empty()) PutColumn(line, 64, Utf8ToCp1252(cart).substr(0, 4));
    if (!duration.empty()) {
        std::string field = Utf8ToCp1252(duration).substr(0, 5);
        PutColumn(line, 75 - field.size(), field);
    }
    if (endCode != ' ') PutColumn(line, 80, std::string(1, endCode));
    AddLine(line);
    return *this;
}

SchedulerLogWriter& SchedulerLogWriter::Line(const std::string& text) {
    AddLine(Utf8ToCp1252(text));
    return *this;
}

SchedulerLogWriter& SchedulerLogWriter::Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

std::string SchedulerLogWriter::Save(const std::string& path) const {
    std::filesystem::path full(path);
    if (full.has_parent_path()) std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << bytes_;
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace vantor::demo
