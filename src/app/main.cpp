// vantor-logimport: imports scheduler logs into a Kora playout database.
#include <cstring>
#include <iostream>
#include <string>

namespace {

void PrintUsage() {
    std::cout << "Usage: vantor-logimport [--headless] [DATABASE.MDB] [/AUTO] [/QUIT] [options]\n"
                 "  --help       show this text\n"
                 "  --version    show the program's version\n";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            PrintUsage();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "vantor-logimport " << VANTOR_VERSION_MAJOR << "." << VANTOR_VERSION_MINOR
                      << "." << VANTOR_VERSION_PATCH << "\n";
            return 0;
        }
    }
    PrintUsage();
    return 64;
}
