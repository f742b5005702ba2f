#include "importer/import_settings_dialog_model.h"

#include <optional>

#include "common/character_class.h"
#include "common/numbers.h"
#include "common/problem_report.h"
#include "common/user_interface.h"
#include "session/dialogs.h"

namespace vantor {

namespace {

using Field = LogImportSettingsModel::Field;

// The five ranges in the order OK checks them, with the name its message gives each.
struct RangeFields {
    const char* name;
    Field start;
    Field end;
    int32_t CartRanges::*startValue;
    int32_t CartRanges::*endValue;
};

constexpr RangeFields kRanges[] = {
    {"Jingles", Field::txtJinglesStart, Field::txtJinglesEnd, &CartRanges::JinglesStart,
     &CartRanges::JinglesEnd},
    {"Sweepers", Field::txtSweepersStart, Field::txtSweepersEnd, &CartRanges::SweepersStart,
     &CartRanges::SweepersEnd},
    {"Songs", Field::txtSongsStart, Field::txtSongsEnd, &CartRanges::SongsStart,
     &CartRanges::SongsEnd},
    {"Cart Groups", Field::txtCartGroupsStart, Field::txtCartGroupsEnd,
     &CartRanges::CartGroupsStart, &CartRanges::CartGroupsEnd},
    {"Adverts", Field::txtAdvertsStart, Field::txtAdvertsEnd, &CartRanges::AdvertsStart,
     &CartRanges::AdvertsEnd},
};

bool IsDigitsOnlyRangeField(Field field) {
    switch (field) {
        case Field::txtJinglesStart:
        case Field::txtJinglesEnd:
        case Field::txtSweepersStart:
        case Field::txtSweepersEnd:
        case Field::txtSongsStart:
        case Field::txtSongsEnd:
        case Field::txtAdvertsStart:
        case Field::txtAdvertsEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

LogImportSettingsModel::LogImportSettingsModel(ImportSettings& settings,
                                               const SystemLocations& locations,
                                               UserInterface& ui, Dialogs& dialogs)
    : settings_(settings), locations_(locations), ui_(ui), dialogs_(&dialogs) {}

void LogImportSettingsModel::Open() {
    LoadSettings(settings_, locations_);
    Fill();
    tab_ = Tab::General;
    closed_ = false;
}

void LogImportSettingsModel::Fill() {
    usersMustLogin_ = settings_.UsersMustLogin == 1;
    SetText(Field::txtAutoPurgeDays, IntText(settings_.AutoPurgeDatabaseDays));
    SetText(Field::txtUnderRunning, NumberText(settings_.UnderrunningDuration / 60.0));
    for (const RangeFields& range : kRanges) {
        SetText(range.start, IntText(settings_.Ranges.*range.startValue));
        SetText(range.end, IntText(settings_.Ranges.*range.endValue));
    }
}

bool LogImportSettingsModel::SelectsAllOnFocus(Field field) {
    return field != Field::txtAutoPurgeDays;
}

int LogImportSettingsModel::FilterKey(Field field, int keyCode) {
    if (IsDigitsOnlyRangeField(field)) {
        if (keyCode == kKeyBackspace || keyCode == kKeyEscape) return keyCode;
        if (keyCode <= 0 || keyCode > 255) return 0;
        return CharacterClassCheck(std::string(1, static_cast<char>(keyCode)), 1) ? keyCode : 0;
    }
    if (field == Field::txtUnderRunning) return KeyFilter(keyCode, 1);
    return keyCode;  // the cart group fields and the purge days take any key
}

void LogImportSettingsModel::TypeKey(Field field, int keyCode) {
    int passed = FilterKey(field, keyCode);
    if (passed == 0) return;
    std::string& text = texts_[Index(field)];
    if (passed == kKeyBackspace) {
        if (!text.empty()) text.pop_back();
    } else if (passed >= 32 && passed < 127) {
        text += static_cast<char>(passed);
    }
}

void LogImportSettingsModel::Browse(Field field) {
    std::string tag = dialogs_->BrowseCarts(NumberText(LeadingNumber(Text(field))));
    if (LeadingNumber(tag) > 0) SetText(field, tag);
}

bool LogImportSettingsModel::OK() {
    for (const RangeFields& range : kRanges) {
        if (LeadingNumber(Text(range.start)) > LeadingNumber(Text(range.end))) {
            ShowInformation(ui_, std::string("You cannot have the End of the ") + range.name +
                                     " Range before the start");
            return false;
        }
    }
    for (const RangeFields& range : kRanges) {
        if (LeadingNumber(Text(range.start)) <= 0 || LeadingNumber(Text(range.end)) <= 0) {
            ShowInformation(ui_, "You must specify a valid cart number for all of the ranges");
            return false;
        }
    }

    // Convert everything before storing anything, so that a value too large for its setting
    // leaves the main window's settings as they were.
    ImportSettings updated = settings_;
    bool overflow = false;
    auto whole = [&overflow](double value) {
        std::optional<int32_t> number = ToInt32(RoundHalfEven(value));
        if (!number) overflow = true;
        return number.value_or(0);
    };
    updated.UsersMustLogin = usersMustLogin_ ? 1 : 0;
    updated.AutoPurgeDatabaseDays = whole(LeadingNumber(Text(Field::txtAutoPurgeDays)));
    updated.UnderrunningDuration = whole(LeadingNumber(Text(Field::txtUnderRunning)) * 60.0);
    for (const RangeFields& range : kRanges) {
        updated.Ranges.*range.startValue = whole(LeadingNumber(Text(range.start)));
        updated.Ranges.*range.endValue = whole(LeadingNumber(Text(range.end)));
    }
    if (overflow) {
        ProblemReport(ui_, "storing the Log Import Settings", ErrorResult::Make(err::kOverflow));
        return false;
    }

    settings_ = updated;
    SaveSettings(settings_, locations_);
    closed_ = true;
    return true;
}

}  // namespace vantor
