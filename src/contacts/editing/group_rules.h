#pragma once
// The group-name checks of the create and rename dialogs, the confirmations of the delete
// commands, and the checks of the own nickname and the own vCard.

#include <optional>
#include <string>
#include <vector>

namespace contacts::editing {

inline constexpr const char* kNewGroupTitle = "新建用户组";
inline constexpr const char* kRenameGroupTitle = "编辑用户组名称";
inline constexpr const char* kRenamingPrefix = "正在修改组名 ";
inline constexpr const char* kDeletingPrefix = "正在删除 ";
inline constexpr const char* kOwnNicknameTitle = "登录";
inline constexpr const char* kNicknameTaken = "该昵称已经被使用";
inline constexpr const char* kContactRemovedTip = "删除联系人成功";

enum class GroupDialog {
    Create,   // "新建用户组"
    Rename,   // "编辑用户组名称"
    Generic,  // "创建<kind>"
};

struct GroupNameInput {
    GroupDialog dialog = GroupDialog::Create;
    std::string name;
    // The names of the groups already in the same tree.
    std::vector<std::string> existing;
    // The generic dialog's kind word.
    std::string kind;
};

// The refusal message, or nothing when the name may be sent. The presence test ignores case.
std::optional<std::string> ValidateGroupName(const GroupNameInput& input);
// The generic create dialog's title.
std::string GenericGroupDialogTitle(const std::string& kind);

std::string DeleteContactQuestion(const std::string& name);
std::string DeleteGroupQuestion(const std::string& name);

std::optional<std::string> ValidateOwnNickname(const std::string& nickname);
// The own vCard edit: "请输入修改信息!" when nothing changed.
std::optional<std::string> ValidateVcardEdit(bool changed);

}  // namespace contacts::editing
