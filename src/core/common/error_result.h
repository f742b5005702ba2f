#pragma once
// The result of every operation that can fail: an error number with its description.

#include <string>
#include <string_view>

namespace vantor {

// The outcome of an operation: number 0 is success, any other number is the runtime's error
// number of the failure. There is deliberately no conversion to bool: with one, either reading
// of `if (result)` is wrong half the time, so every caller says `.Ok()` or `!...Ok()`.
struct [[nodiscard]] ErrorResult {
    int number = 0;
    std::string description;

    bool Ok() const { return number == 0; }

    // The runtime's standard message when it knows the number, else the detail given.
    static ErrorResult Make(int number, std::string_view detail = "");
};

}  // namespace vantor
