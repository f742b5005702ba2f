// Building a failure's result and reporting it.

#include "dbengine/db_error.h"

#include "common/problem_report.h"

namespace vantor {

DbError DbError::Make(int number, std::string_view detail) {
    DbError error;
    error.number = number;
    error.description = StandardErrorMessage(number);
    if (error.description.empty()) error.description = std::string(detail);
    return error;
}

std::string ProblemReport(UserInterface& ui, std::string_view task, const DbError& error,
                          bool quiet) {
    return ProblemReport(ui, task, error.number, quiet, error.description);
}

}  // namespace vantor
