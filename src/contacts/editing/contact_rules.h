#pragma once
// The checks of the buddy dialog and of the phone-book contact dialog, in the order the user
// meets them: the first failure is the answer, naming its message and the field the focus
// goes back to. What the group lookups need comes in with the input, so the rules need no
// tree and no window.

#include <optional>
#include <string>
#include <vector>

namespace contacts::editing {

enum class DialogMode { Add, Modify };

// The dialog titles of both contact dialogs.
inline constexpr const char* kAddContactTitle = "添加联系人";
inline constexpr const char* kModifyContactTitle = "修改联系人";
inline constexpr const char* kGroupCreationFailed = "创建组失败,请稍后再试或从列表中选择一个组!";

enum class ContactField {
    Account,
    Nickname,
    Group,
    Mobile,
    Name,
    Email,
    WorkPhone,
    Unit,
    ShortNumber,
    Mobile2,
    Fax,
    HomePhone,
};

struct Refusal {
    std::string message;
    ContactField field = ContactField::Account;
    friend bool operator==(const Refusal&, const Refusal&) = default;
};

// What the caller does once every check passed.
enum class NextStep {
    Send,         // close and send the change
    CreateGroup,  // the group is new: create it first and wait for it
};

struct CheckOutcome {
    std::optional<Refusal> refusal;
    NextStep next = NextStep::Send;
};

struct BuddyInput {
    std::string account;
    std::string nickname;
    std::string group;
    // The chosen list is the phone book (its title is TelContactTitle): the account is a
    // mobile number.
    bool mobileMode = false;
    // The group is already in the buddy list.
    bool groupExists = false;
};

CheckOutcome ValidateBuddyDialog(const BuddyInput& input);

// Another user of the chosen group, as the duplicate-mobile check sees it.
struct GroupMember {
    std::string id;  // the contact's identifier (its JID), so a contact does not clash with itself
    std::string name;
    std::string mobile;
};

struct PhoneContactInput {
    DialogMode mode = DialogMode::Add;
    std::string mobile;
    std::string name;
    std::string email;
    std::string workPhone;
    std::string unit;
    std::string shortNumber;
    std::string mobile2;
    std::string fax;
    std::string homePhone;
    std::string group;
    bool groupExists = false;
    // The identifier of the contact being modified (empty when adding).
    std::string id;
    std::vector<GroupMember> groupMembers;
};

CheckOutcome ValidatePhoneContactDialog(const PhoneContactInput& input);

// The phone-book contact's fields in the order of the payload.
struct PhoneContact {
    std::string name, email, telephone, profession, company, title, position, mobile, mobile2,
        telephone2, officefax, address, homephone, memo;
};

// The payload of AddMobileContact and ModifyMobileContact: the fourteen elements in order,
// each text as given.
std::string MobileContactPayload(const PhoneContact& contact);
// The group name sent beside the payload: "未分组" for an empty one.
std::string PayloadGroupName(const std::string& group);

}  // namespace contacts::editing
