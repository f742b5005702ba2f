// The lenient date parser on any text, and the formatter on whatever it returns.

#include <string>

#include "common/locale.h"
#include "common/ole_date.h"
#include "importer/range_fields.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::optional<OleDate> date = ParseDate(text, 2000);
    if (date) {
        FormatDate(*date, "dddddd");
        FormatDate(*date, "y dd/mm/yyyy hh:nn:ss");
        SplitDate(*date);
    }
    DayOfDateText(text, 2026);
    // The text as a pattern, on a fixed date.
    FormatDate(36592.5, text);
    return 0;
}
