#include "contacts/transfer/workbook_reader.h"

#include <freexl.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "os/sys/paths.h"
#include "os/text/gbk_codec.h"

namespace contacts {
namespace {

constexpr const char* kCannotOpen = "无法打开Excel文件, 请确认文件存在且未损坏。";
constexpr const char* kNoSheet = "Excel文件中没有名为 Sheet1 的工作表。";
constexpr const char* kCellOutsideGbk = "Excel文件中含有 GBK 编码无法表示的字符, 请修改后重试。";

struct XlsCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};

std::string JoinedText(const std::vector<std::string>& fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) text += ',';
        text += fields[i];
    }
    return text;
}

}  // namespace

std::string WorkbookNumberText(double value) {
    char buffer[64];
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
    }
    return buffer;
}

WorkbookRows ReadWorkbookRows(std::string_view path) { return ReadXlsRows(path); }

WorkbookRows ReadXlsRows(std::string_view path) {
    WorkbookRows result;
    const auto nativePath = os::NativePath(path);
    const void* raw = nullptr;
    if (!nativePath || freexl_open(nativePath->c_str(), &raw) != FREEXL_OK) {
        if (raw != nullptr) freexl_close(raw);
        result.message = kCannotOpen;
        return result;
    }
    std::unique_ptr<const void, XlsCloser> handle(raw);
    unsigned int sheets = 0;
    if (freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        result.message = kCannotOpen;
        return result;
    }
    bool found = false;
    for (unsigned short index = 0; index < sheets; ++index) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(raw, index, &name) == FREEXL_OK && name != nullptr &&
            kWorkbookSheet == name) {
            found = freexl_select_active_worksheet(raw, index) == FREEXL_OK;
            break;
        }
    }
    if (!found) {
        result.message = kNoSheet;
        return result;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(raw, &rows, &columns) != FREEXL_OK) {
        result.message = kCannotOpen;
        return result;
    }
    for (unsigned int r = 1; r < rows; ++r) {  // row 0 names the columns
        ImportRow row;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell{};
            std::string field;
            if (freexl_get_cell_value(raw, r, c, &cell) == FREEXL_OK) {
                switch (cell.type) {
                    case FREEXL_CELL_INT:
                        field = std::to_string(cell.value.int_value);
                        break;
                    case FREEXL_CELL_DOUBLE:
                        field = WorkbookNumberText(cell.value.double_value);
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME:
                        if (cell.value.text_value != nullptr &&
                            !os::Utf8ToGbk(cell.value.text_value, field)) {
                            result.message = kCellOutsideGbk;
                            result.rows.clear();
                            return result;
                        }
                        break;
                    default:
                        break;
                }
            }
            row.fields.push_back(StripTextMarker(field));
        }
        while (!row.fields.empty() && row.fields.back().empty()) row.fields.pop_back();
        row.text = JoinedText(row.fields);
        result.rows.push_back(std::move(row));
    }
    result.ok = true;
    return result;
}

}  // namespace contacts
