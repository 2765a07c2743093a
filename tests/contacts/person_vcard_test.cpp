// A vCard's slots as the session engine hands them over, read into the person record.

#include "contacts/person_vcard.h"

#include <gtest/gtest.h>

namespace {

using contacts::PersonVcardFromSlots;

platform::SlotData Slots(std::vector<std::string> slots) {
    platform::SlotData data;
    data.slots = std::move(slots);
    return data;
}

TEST(PersonVcardTest, SlotsFillTheirFieldsAndIntegerSlotsAreRead) {
    std::vector<std::string> slots(CContactPersonInfo::kSlotCount);
    slots[0] = "bob@x";
    slots[1] = "Bob";
    slots[2] = "139";
    slots[16] = "1";
    slots[31] = "<SIGNATURE>s</SIGNATURE>";
    slots[32] = "-7";
    slots[33] = "both";
    const auto vcard = PersonVcardFromSlots(Slots(slots));
    ASSERT_TRUE(vcard.has_value());
    EXPECT_EQ(vcard->jid, "bob@x");
    EXPECT_EQ(vcard->name, "Bob");
    EXPECT_EQ(vcard->mobile, "139");
    EXPECT_EQ(vcard->videoCapable, 1);
    EXPECT_EQ(vcard->extensionXml, "<SIGNATURE>s</SIGNATURE>");
    EXPECT_EQ(vcard->flags, -7);
    EXPECT_EQ(vcard->subscription, "both");
}

TEST(PersonVcardTest, ShortLongAndBrokenSlotListsAreSafe) {
    EXPECT_FALSE(PersonVcardFromSlots(Slots({})).has_value());
    EXPECT_FALSE(PersonVcardFromSlots(Slots({""})).has_value());

    const auto shortOne = PersonVcardFromSlots(Slots({"a@x", "A"}));
    ASSERT_TRUE(shortOne.has_value());
    EXPECT_EQ(shortOne->name, "A");
    EXPECT_EQ(shortOne->mobile, "");

    std::vector<std::string> longOne(60, "9");
    longOne[16] = "12abc";  // no number: 0, never a part of it
    const auto tooLong = PersonVcardFromSlots(Slots(longOne));
    ASSERT_TRUE(tooLong.has_value());
    EXPECT_EQ(tooLong->videoCapable, 0);
    EXPECT_EQ(tooLong->flags, 9);
}

}  // namespace
