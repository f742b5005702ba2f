// Building a failure's result with the description the operator will read.

#include "common/error_result.h"

#include "common/error_numbers.h"

namespace vantor {

ErrorResult ErrorResult::Make(int number, std::string_view detail) {
    ErrorResult error;
    error.number = number;
    error.description = StandardErrorMessage(number);
    if (error.description.empty()) error.description = std::string(detail);
    return error;
}

}  // namespace vantor
