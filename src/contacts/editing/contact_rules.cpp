#include "contacts/editing/contact_rules.h"

#include "contacts/editing/text_rules.h"
#include "os/text/cstring_ops.h"

namespace contacts::editing {
namespace {

constexpr const char* kChooseGroup = "请输入或选择一个组!";

CheckOutcome Refuse(std::string message, ContactField field) {
    return CheckOutcome{Refusal{std::move(message), field}, NextStep::Send};
}

CheckOutcome Passed(bool groupExists) {
    return CheckOutcome{std::nullopt, groupExists ? NextStep::Send : NextStep::CreateGroup};
}

}  // namespace

CheckOutcome ValidateBuddyDialog(const BuddyInput& input) {
    using F = ContactField;
    if (input.account.empty()) {
        return Refuse(input.mobileMode ? "手机号码不能为空" : "用户名不能为空", F::Account);
    }
    if (HasIllegalChars(input.account)) return Refuse("用户名中含有非法字符", F::Account);
    if (input.mobileMode && !IsValidMobile(input.account)) {
        return Refuse("无效的手机号码", F::Account);
    }
    if (HasIllegalChars(input.nickname)) return Refuse("昵称中含有非法字符", F::Nickname);
    if (HasIllegalChars(input.group)) return Refuse("组群中含有非法字符", F::Group);
    if (input.group.empty()) return Refuse(kChooseGroup, F::Group);
    return Passed(input.groupExists);
}

CheckOutcome ValidatePhoneContactDialog(const PhoneContactInput& input) {
    using F = ContactField;
    const bool modify = input.mode == DialogMode::Modify;
    if (input.mobile.empty()) return Refuse("手机号码不能为空！", F::Mobile);
    if (HasIllegalChars(input.mobile)) return Refuse("手机号码中含有非法字符", F::Mobile);
    if (!IsValidMobile(input.mobile)) return Refuse("无效的手机号码！", F::Mobile);
    if (input.name.empty()) return Refuse("请输入姓名!", F::Name);
    if (HasIllegalChars(input.name)) return Refuse("姓名中含有非法字符", F::Name);
    if (HasIllegalChars(input.email)) {
        return Refuse(modify ? "邮件中含有非法字符" : "电子邮件中含有非法字符", F::Email);
    }
    if (!IsValidEmail(input.email)) return Refuse("电子邮件不合法", F::Email);
    if (HasIllegalChars(input.workPhone)) return Refuse("工作电话中含有非法字符", F::WorkPhone);
    if (HasIllegalChars(input.unit)) {
        return Refuse(modify ? "单位中含有非法字符" : "单位名称中含有非法字符", F::Unit);
    }
    if (modify) {
        const struct {
            const std::string& text;
            const char* message;
            ContactField field;
        } extra[] = {
            {input.shortNumber, "虚拟短号中含有非法字符", F::ShortNumber},
            {input.mobile2, "手机号码2中含有非法字符", F::Mobile2},
            {input.fax, "传真号码中含有非法字符", F::Fax},
            {input.homePhone, "家庭电话中含有非法字符", F::HomePhone},
        };
        for (const auto& field : extra) {
            if (HasIllegalChars(field.text)) return Refuse(field.message, field.field);
        }
    }
    if (HasIllegalChars(input.group)) {
        return Refuse("组名中包含非法字符,请重新输入或从列表中选择一个组!", F::Group);
    }
    if (input.group.empty()) return Refuse(kChooseGroup, F::Group);
    for (const GroupMember& member : input.groupMembers) {
        if (!input.id.empty() && member.id == input.id) continue;
        if (member.mobile == input.mobile) {
            return Refuse(os::Format("组下用户\"%s\"已使用该手机号码.", member.name.c_str()),
                          F::Mobile);
        }
    }
    return Passed(input.groupExists);
}

std::string MobileContactPayload(const PhoneContact& c) {
    const std::pair<const char*, const std::string*> elements[] = {
        {"name", &c.name},           {"email", &c.email},
        {"telephone", &c.telephone}, {"profession", &c.profession},
        {"company", &c.company},     {"title", &c.title},
        {"position", &c.position},   {"mobile", &c.mobile},
        {"mobile2", &c.mobile2},     {"telephone2", &c.telephone2},
        {"officefax", &c.officefax}, {"address", &c.address},
        {"homephone", &c.homephone}, {"memo", &c.memo},
    };
    std::string payload;
    for (const auto& [tag, text] : elements) {
        payload += "<" + std::string(tag) + ">" + *text + "</" + tag + ">";
    }
    return payload;
}

std::string PayloadGroupName(const std::string& group) {
    return group.empty() ? std::string("未分组") : group;
}

}  // namespace contacts::editing
