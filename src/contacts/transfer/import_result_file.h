#pragma once
// The result file of an import: every source row on one line with its result, so the user can
// mend the rejected rows and import them again. The row's fields are written as the export
// writes them (quoted where needed), so a field holding a line break keeps the row on one line.

#include <string>
#include <string_view>

#include "contacts/transfer/delimited_reader.h"

namespace contacts {

inline constexpr std::string_view kImportResultHeader =
    "用户名,用户姓名或昵称,群组,工作电话,手机,邮件,行业,单位,职称,职务,错误说明,\n";
inline constexpr std::string_view kImportResultSuffix = ".bak.csv";

// One line: the row's fields joined by ",", then ",!~!", the result text and "\n".
std::string ImportResultLine(const ImportRow& row, std::string_view result);

}  // namespace contacts
