#pragma once
// Reads the sheet named "Sheet1" of an Excel workbook into import rows, as a query of the
// whole sheet would: the sheet's first row names the columns and is not a row of data. Texts
// arrive in UTF-8 and are converted to GBK; a whole number stored as a number (a mobile typed
// into a cell) reads without a decimal point. ".xls" workbooks are read with libfreexl.

#include <string>
#include <string_view>
#include <vector>

#include "contacts/transfer/delimited_reader.h"

namespace contacts {

inline constexpr std::string_view kWorkbookSheet = "Sheet1";

struct WorkbookRows {
    bool ok = false;
    std::string message;  // why the workbook could not be read, when not ok
    std::vector<ImportRow> rows;
};

// `path` is GBK like every path inside. ReadWorkbookRows picks the reader by the extension
// (".xlsx" or else ".xls", case ignored).
WorkbookRows ReadWorkbookRows(std::string_view path);
WorkbookRows ReadXlsRows(std::string_view path);

// A cell's number as the import reads it: whole numbers without a fraction.
std::string WorkbookNumberText(double value);

}  // namespace contacts
