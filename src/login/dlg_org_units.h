#pragma once
// CDlgOrgUnits: the modal dialog in which the user picks the organisation to log in under.
// Its list shows the units of one level as the organisation service answers them (one row
// per unit: name, id, single-sign-on code, child count, organisation code; "(无数据)" for a
// level without units). A double click on a unit opens the level below it, "上一级" goes
// back up, "确定" ends with the selected unit. A failed request leaves the list as it was;
// an answer that is not XML shows "解析数据出错".
// UI thread only.

#include <optional>
#include <string>
#include <vector>

#include "core/client_context.h"
#include "os/ui/window.h"
#include "web/org_units.h"

namespace os {
class Log;
}
namespace web {
class GenericHttpClient;
}

class CDlgOrgUnits final : public os::Window {
  public:
    static constexpr int kUnitListId = 9210;
    static constexpr int kUpButtonId = 9211;
    static constexpr const char* kTitlePrefix = "选择  ";
    static constexpr const char* kNoUnits = "(无数据)";
    static constexpr const char* kUnparsable = "解析数据出错";

    // The unit chosen and the unit whose level it was picked from ("" at the top level).
    struct Choice {
        web::OrgUnit unit;
        std::string parentId;
        std::string parentName;
    };

    // `client` and `pickerLog` are used for every level opened; both outlive the dialog.
    CDlgOrgUnits(core::ClientContext& context, web::GenericHttpClient& client, os::Log& pickerLog);

    // Creates the dialog (hidden; DoModal shows it) owned by `owner` and loads the top level.
    bool Create(os::HWND owner);

    const std::optional<Choice>& choice() const { return choice_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    struct Level {
        std::string parentId;
        std::string parentName;
        std::vector<web::OrgUnit> units;
    };

    // Asks for the units below `parentId`; true when the answer replaced the list.
    bool Open(const std::string& parentId, const std::string& parentName);
    void GoUp();
    void Confirm();
    void ShowLevel();
    // The unit of a list row, or null for the "(无数据)" row and bad rows.
    const web::OrgUnit* UnitOfRow(int row) const;

    core::ClientContext& context_;
    web::GenericHttpClient& client_;
    os::Log& pickerLog_;
    std::vector<Level> levels_;  // from the top level down to the one shown
    std::optional<Choice> choice_;
};
