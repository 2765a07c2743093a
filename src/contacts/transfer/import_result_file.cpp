#include "contacts/transfer/import_result_file.h"

#include "contacts/transfer/import_row_validator.h"

namespace contacts {

std::string ImportResultLine(const ImportRow& row, std::string_view result) {
    std::string line;
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
        if (i != 0) line += ',';
        line += ExportField(row.fields[i]);
    }
    line += ',';
    line += kResultMarker;
    line += result;
    line += '\n';
    return line;
}

}  // namespace contacts
