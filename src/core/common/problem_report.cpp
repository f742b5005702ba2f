#include "common/problem_report.h"

#include <cerrno>

#include "common/text.h"

namespace vantor {

int ErrorNumberFromErrno(int errnoValue, int otherwise) {
    switch (errnoValue) {
        case ENOENT:
            return err::kFileNotFound;
        case ENOTDIR:
            return err::kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
        case ETXTBSY:
            return err::kPermissionDenied;
        case ENOSPC:
        case EDQUOT:
            return err::kDiskFull;
        case EEXIST:
            return err::kFileAlreadyExists;
        case EIO:
            return err::kDeviceIoError;
        case EBADF:
            return err::kBadFileNameOrNumber;
        case EISDIR:
            return err::kPathFileAccessError;
        default:
            return otherwise;
    }
}

std::string ProblemReportText(std::string_view task, int errorNumber,
                              std::string_view currentErrorDescription) {
    std::string text = "There was a problem " + Trim(task);
    if (errorNumber != 0) {
        std::string description = Trim(StandardErrorMessage(errorNumber));
        if (description.empty()) description = Trim(currentErrorDescription);
        text += " and the error's description was reported as : \n\n\"" + description + "\" (" +
                std::to_string(errorNumber) + ")";
        // A failure that carries its own account besides the standard words (a database
        // server: which server, and why it refused) would leave the station guessing without
        // it.
        const std::string detail = Trim(currentErrorDescription);
        if (!detail.empty() && detail != description) text += "\n\n" + detail;
    }
    return text;
}

std::string ProblemReport(UserInterface& ui, std::string_view task, const ErrorResult& error,
                          bool quiet) {
    HourglassGuard arrow(ui, MouseCursor::Default);
    std::string text = ProblemReportText(task, error.number, error.description);
    if (!quiet) {
        ui.CountProblemReport();
        ShowWarning(ui, text);
    }
    return text;
}

}  // namespace vantor
