#pragma once
// The one way into the library from an exported C function. `ExportCall` makes the library's
// objects on the first call (library.h), runs the export's work and stands between it and the
// C boundary: whatever the work throws is caught, written to the library's log with the
// export's name, and the export answers its failure value (0, an empty string, nothing done).
// The host goes on as if the call had found nothing to do.
//
// Every export is declared `noexcept` (QORV_NOEXCEPT in exports.h), so work left outside an
// ExportCall that throws ends the process at once instead of unwinding into C frames.

#include <exception>
#include <source_location>
#include <utility>

// Writes "export <name> failed: <what>" to the log of the window manager the exports reach,
// else of the library, else to stderr. `what` is null for an exception that is not a
// std::exception. Never throws.
void LogFailedExport(const std::source_location& where, const char* what) noexcept;

// Runs `work()` and answers its result, or `failure` when it throws.
template <typename Result, typename Work>
Result ExportCall(const std::source_location& where, Result failure, Work&& work) noexcept {
    try {
        return std::forward<Work>(work)();
    } catch (const std::exception& error) {
        LogFailedExport(where, error.what());
    } catch (...) {
        LogFailedExport(where, nullptr);
    }
    return failure;
}

// The same for an export that answers nothing.
template <typename Work>
void ExportCall(const std::source_location& where, Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
    } catch (const std::exception& error) {
        LogFailedExport(where, error.what());
    } catch (...) {
        LogFailedExport(where, nullptr);
    }
}
