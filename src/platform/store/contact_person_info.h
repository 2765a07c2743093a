#pragma once
// A person's vCard as the protocol library hands it over: 39 slots, each a GBK text except
// slots 16 and 32, which are integers. The named fields follow the slot order; slots the
// client does not read (7, 9, 11 and the further texts) are carried unchanged.

#include <array>
#include <cstdint>
#include <string>

struct CContactPersonInfo {
    static constexpr int kSlotCount = 39;
    static constexpr int kVideoCapableSlot = 16;
    static constexpr int kFlagsSlot = 32;

    std::string jid;                         // 0
    std::string name;                        // 1
    std::string mobile;                      // 2
    std::string workPhone;                   // 3 office telephone
    std::string email;                       // 4
    std::string unit;                        // 5 organisation
    std::string industry;                    // 6 category
    std::string reserved7;                   // 7
    std::string title;                       // 8 professional title
    std::string reserved9;                   // 9
    std::string duty;                        // 10 position / role
    std::string reserved11;                  // 11
    std::string shortNumber;                 // 12 short (virtual-network) mobile number
    std::string fax;                         // 13
    std::string extension;                   // 14 telephone extension
    std::string staffNumber;                 // 15
    std::int32_t videoCapable = 0;           // 16 (integer)
    std::array<std::string, 13> vcardTexts;  // 17 ... 29
    std::string extra4;                      // 30
    std::string extensionXml;                // 31 raw extension XML
    std::int32_t flags = 0;                  // 32 (integer)
    std::string subscription;                // 33
    std::string phone3;                      // 34
    std::string phone2;                      // 35
    std::string phone4;                      // 36
    std::string extra1;                      // 37
    std::string extra2;                      // 38

    // The text field of `slot`, or nullptr for the integer slots and slots out of range.
    std::string* TextSlot(int slot);
    const std::string* TextSlot(int slot) const;
    // The integer field of slot 16 or 32, or nullptr for any other slot.
    std::int32_t* IntSlot(int slot);
    const std::int32_t* IntSlot(int slot) const;

    bool operator==(const CContactPersonInfo&) const = default;
};
