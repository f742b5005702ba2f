// The scheduler log reader as the import and the range discovery use it: every line kind, hour
// headers of both forms, item lines with their continuation lines, and the whole-file scan.

#include "common/clock.h"
#include "fuzz_input.h"
#include "importer/import_range.h"
#include "importer/scheduler_log.h"
#include "session/session.h"
#include "support/scripted_user_interface.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("VN000307.LOG", data, size);
    ScriptedUserInterface ui;
    SchedulerLogReader reader(path);
    while (!reader.AtEnd()) {
        std::string line = reader.ReadLine();
        reader.PercentRead();
        switch (KindOfLine(line)) {
            case LogLineKind::HourHeader: {
                DayTime stamp;
                std::string text;
                ReadHourHeader(reader, line, stamp, text, ui, 2000);
                break;
            }
            case LogLineKind::Item:
            case LogLineKind::ItemWithContinuations: {
                SchedulerItem item = CutItemLine(line);
                ReadItemContinuations(reader, item);
                break;
            }
            case LogLineKind::BreakNote:
                NoteTextOf(line);
                break;
            default:
                ParseBlockHeaderDate(line, 2000);
                break;
        }
    }
    FixedClock clock(2000, 3, 5, 9, 30);
    Session session(ui, ui, clock);
    DayTime first, last;
    ScanLogFile(session, path, first, last);
    return 0;
}
