#include "host_api/export_call.h"

#include <cstdio>
#include <string>

#include "host_api/library.h"
#include "os/services/log.h"

void LogFailedExport(const std::source_location& where, const char* what) noexcept {
    const char* reason = what != nullptr ? what : "an exception that is not a std::exception";
    try {
        std::string line = "export ";
        line += where.function_name();
        line += " failed: ";
        line += reason;
        line += "; it answered its failure value";
        os::Log* log = nullptr;
        if (theWindowManager != nullptr) {
            log = &theWindowManager->context().log;
        } else if (theLibrary != nullptr) {
            log = &theLibrary->world->log();
        }
        if (log != nullptr) {
            log->WriteLog2(1, line);
            return;
        }
    } catch (...) {
        // No memory for the line, or the log failed: stderr is all that is left.
    }
    std::fprintf(stderr, "qorvdesk: export %s failed: %s\n", where.function_name(), reason);
}
