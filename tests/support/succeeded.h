#pragma once
// The one way tests say "this operation succeeded": EXPECT_THAT(db.OpenTable(...), Succeeded()).
// A failure prints the error's number and description instead of a bare "false". Results that
// carry an outcome beside their error (an `error` member) are matched the same way.

#include <gmock/gmock.h>

#include <ostream>

#include "common/error_result.h"

namespace vantor {

inline void PrintTo(const ErrorResult& result, std::ostream* os) {
    if (result.Ok())
        *os << "success";
    else
        *os << "error " << result.number << " \"" << result.description << "\"";
}

template <typename Result>
const ErrorResult& ErrorOf(const Result& result) {
    if constexpr (requires { result.error; })
        return result.error;
    else
        return result;
}

MATCHER(Succeeded, "succeeded") {
    if (arg.Ok()) return true;
    const ErrorResult& error = ErrorOf(arg);
    *result_listener << "failed with error " << error.number << " \"" << error.description << "\"";
    return false;
}

}  // namespace vantor
