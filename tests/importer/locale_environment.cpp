// Log headers and report lines depend on the workstation's date order; these tests are
// written for a day-month-year locale whatever the machine running them uses.
#include <gtest/gtest.h>

#include "common/locale.h"

namespace {

class DayMonthYearLocale : public ::testing::Environment {
  public:
    void SetUp() override { vantor::SetDateLocale(vantor::DateLocale{}); }
};

const auto* const kLocale = ::testing::AddGlobalTestEnvironment(new DayMonthYearLocale);

}  // namespace
