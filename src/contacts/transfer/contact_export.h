#pragma once
// The export of one contact tree to comma-separated GBK text: the header line, then one line
// per user in the tree's order, depth first, every field followed by ",", lines ended by
// "\r\n". The unit's commas become ';'. A field that still holds a comma, a quote or a line
// break is quoted (RFC 4180), and one that begins with '=', '+', '-' or '@' gets a leading
// apostrophe, so a spreadsheet neither splits it nor runs it as a formula; the import reads
// both back.

#include <string>
#include <string_view>

namespace contacts {

class CIMTree;

inline constexpr std::string_view kExportHeader =
    "用户名,用户姓名或昵称,群组,工作电话,手机,邮件,行业,单位,职称,职务,\r\n";

std::string ExportTreeText(CIMTree& tree);

}  // namespace contacts
