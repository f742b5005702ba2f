#include "importer/lost_hours.h"

#include "common/report_file.h"

namespace vantor {

void LostHours::ReadableHeader(const DayTime& stamp) {
    if (gapOpen_) gaps_.emplace_back(lastReadable_, stamp);
    gapOpen_ = false;
    lastReadable_ = stamp;
    anyReadable_ = true;
}

void LostHours::UnreadableHeader() {
    gapOpen_ = true;
}

bool LostHours::Explained(const DayTime& hourStamp, bool atEnd) const {
    if (atEnd && (!anyReadable_ || cutShort_)) return true;
    if (gapOpen_ && DayTimeAfter(hourStamp, lastReadable_)) return true;
    for (const auto& [before, after] : gaps_)
        if (DayTimeAfter(hourStamp, before) && DayTimeBefore(hourStamp, after)) return true;
    return false;
}

bool LostHours::NotFound(const DayTime& hourStamp, bool atEnd) {
    if (!Explained(hourStamp, atEnd)) return false;
    lost_.push_back(hourStamp);
    return true;
}

void LostHours::AllLost(int32_t day, int firstHour, int lastHour) {
    for (int hour = firstHour; hour <= lastHour; ++hour)
        lost_.push_back(DayTime{day, static_cast<float>(hour * 3600)});
}

void LostHours::Report(ReportFile& errorReport, const std::string& logFile,
                       const Clock& clock) const {
    size_t i = 0;
    while (i < lost_.size()) {
        size_t j = i;
        // Hours are recorded in ascending order; a run ends where the next hour is not the
        // one after.
        while (j + 1 < lost_.size() && lost_[j + 1].day == lost_[j].day &&
               lost_[j + 1].seconds == lost_[j].seconds + 3600)
            ++j;
        errorReport.Append(true,
                           "The following hours could not be found in the Music Log " + logFile +
                               ": " + DayTimeLongText(lost_[i], 4) + " to " +
                               DayTimeLongText(lost_[j], 4),
                           clock);
        i = j + 1;
    }
}

}  // namespace vantor
