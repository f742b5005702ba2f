#include "common/report_file.h"

#include "common/clock.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/paths.h"

namespace vantor {

ReportFile::~ReportFile() {
    if (file_) std::fclose(file_);
}

void ReportFile::Append(bool stamped, const std::string& text, const Clock& clock) {
    if (lines_) {
        lines_->push_back(text);
        return;
    }
    if (copies_) copies_->push_back(text);
    if (path_.empty()) return;
    if (!file_) file_ = OpenFileForWriting(ResolvePath(path_), true);
    if (!file_) return;
    std::string line = stamped ? FormatDate(clock.Now(), "ddddd hh:nn:ss") + " " + text : text;
    std::string bytes = Utf8ToCp1252(line) + "\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
    std::fflush(file_);
}

}  // namespace vantor
