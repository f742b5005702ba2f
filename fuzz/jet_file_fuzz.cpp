// The reader of database files brought over from a Windows installation, on any file: open it,
// then read every row of every table. A file it refuses is fine; a crash, a hang or a read past
// what it was given is not, and every row comes with one value per column.

#include <vector>

#include "fuzz_input.h"
#include "windowsdb/jet_file.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("fuzz.mdb", data, size);
    JetFile file;
    if (!file.Open(path).empty()) return 0;
    if (file.Version() != 3 && file.Version() != 4) __builtin_trap();
    for (const std::string& name : file.TableNames()) {
        JetTableReader reader;
        if (!file.OpenTable(name, reader).empty()) continue;
        std::vector<DbValue> values;
        long long rows = 0;
        while (reader.Next(values)) {
            if (values.size() != reader.Columns().size()) __builtin_trap();
            ++rows;
        }
        if (rows != reader.RowsRead()) __builtin_trap();
    }
    return 0;
}
