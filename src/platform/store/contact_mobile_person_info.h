#pragma once
// The cached card of a private phone-book contact: the fourteen texts of the phone-book
// payload plus the contact's identifier and its phone-book group. All texts are GBK.

#include <string>

struct CContactMobilePersonInfo {
    std::string jid;    // the contact's identifier (an SMS JID for a number-only contact)
    std::string group;  // phone-book group; one contact may be cached once per group
    std::string name;
    std::string email;
    std::string telephone;
    std::string profession;
    std::string company;
    std::string title;
    std::string position;
    std::string mobile;
    std::string mobile2;
    std::string telephone2;
    std::string officeFax;
    std::string address;
    std::string homePhone;
    std::string memo;

    bool operator==(const CContactMobilePersonInfo&) const = default;
};
