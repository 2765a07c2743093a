#include "contacts/editing/group_rules.h"

#include "contacts/editing/text_rules.h"
#include "os/text/cstring_ops.h"

namespace contacts::editing {

std::optional<std::string> ValidateGroupName(const GroupNameInput& input) {
    const std::string& name = input.name;
    switch (input.dialog) {
        case GroupDialog::Create:
            if (name.empty()) return "新组群名称不能为空";
            if (HasIllegalChars(name)) return "新组群名称中含有非法字符";
            break;
        case GroupDialog::Rename:
            if (name.empty()) return "请输入新组群名";
            if (HasIllegalChars(name)) return "组群名中包含非法字符";
            break;
        case GroupDialog::Generic:
            if (name.empty()) return os::Format("请输入%s名称", input.kind.c_str());
            if (HasIllegalChars(name)) {
                return os::Format("%s名中含有非法字符，请重新输入", input.kind.c_str());
            }
            break;
    }
    for (const std::string& existing : input.existing) {
        if (os::EqualsNoCase(existing, name)) {
            return os::Format("组名:\"%s\"已存在,请重新输入!", name.c_str());
        }
    }
    return std::nullopt;
}

std::string GenericGroupDialogTitle(const std::string& kind) {
    return os::Format("创建%s", kind.c_str());
}

std::string DeleteContactQuestion(const std::string& name) {
    return os::Format("确信要删除联系人 %s 吗?", name.c_str());
}

std::string DeleteGroupQuestion(const std::string& name) {
    return os::Format("确实要删除组群 %s 吗?\n将同步删除该组下所有用户信息", name.c_str());
}

std::optional<std::string> ValidateOwnNickname(const std::string& nickname) {
    if (nickname.empty()) return "昵称不能为空";
    if (HasIllegalChars(nickname)) return "昵称中含有非法字符";
    return std::nullopt;
}

std::optional<std::string> ValidateVcardEdit(bool changed) {
    if (!changed) return "请输入修改信息!";
    return std::nullopt;
}

}  // namespace contacts::editing
