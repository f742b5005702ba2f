#pragma once
// A report file (error.log) that a run appends to line by line: opened at its first line and
// kept open until the run ends, instead of being found and opened again for every line. Each
// line reaches the file at once, in the form AppendLogLine writes (Windows-1252, CRLF, the
// stamp when asked for), so that other writers of the same file keep their order.

#include <cstdio>
#include <string>
#include <vector>

namespace vantor {

class Clock;

class ReportFile {
  public:
    explicit ReportFile(std::string path) : path_(std::move(path)) {}
    // A report kept in memory: each line is added to lines, without its stamp, and no file is
    // touched (a preview of a run says what its report would hold).
    explicit ReportFile(std::vector<std::string>& lines) : lines_(&lines) {}
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    const std::string& Path() const { return path_; }
    // Appends one line; the file is made when the first line comes (an empty path writes
    // nothing). A file that cannot be opened loses its lines, as AppendLogLine's do.
    void Append(bool stamped, const std::string& text, const Clock& clock);
    // Each line appended from now on is also added to copies, without its stamp, whether or
    // not the file takes it (a run's record names what its report said); none stops it.
    void CopyLinesTo(std::vector<std::string>* copies) { copies_ = copies; }

  private:
    std::string path_;
    std::vector<std::string>* lines_ = nullptr;
    std::vector<std::string>* copies_ = nullptr;
    std::FILE* file_ = nullptr;
};

}  // namespace vantor
