#pragma once
// The engine's name for the common result type: every engine operation returns a DbError.

#include "common/error_result.h"
#include "common/problem_report.h"

namespace vantor {

using DbError = ErrorResult;

}  // namespace vantor
