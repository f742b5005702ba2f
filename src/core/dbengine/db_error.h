#pragma once
// The result of every operation that can fail: an error number with its description.

#include <string>
#include <string_view>

namespace vantor {

class UserInterface;

// The outcome of an engine operation: number 0 is success. Converts to true on failure, so
// that `if (DbError e = cursor.Update()) report(e)` reads naturally.
struct [[nodiscard]] DbError {
    int number = 0;
    std::string description;

    bool Ok() const { return number == 0; }
    explicit operator bool() const { return number != 0; }

    // The runtime's standard message when it knows the number, else the detail given.
    static DbError Make(int number, std::string_view detail = "");
};

// The uniform problem report of a failed operation ("There was a problem <task> ..."), with the
// failure's own description where the number has no standard message. Returns the text.
std::string ProblemReport(UserInterface& ui, std::string_view task, const DbError& error,
                          bool quiet = false);

}  // namespace vantor
