#include "contacts/tree_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace contacts;
using Kind = ChildKey::Kind;

struct Person {
    std::string name;
    PresenceClass presenceClass = PresenceClass::Offline;
    bool admin = false;
    bool raisedHand = false;
    int orderIndex = 0;
};

std::vector<ChildKey> KeysOf(const std::vector<Person>& people) {
    std::vector<ChildKey> keys;
    for (const Person& p : people) {
        keys.push_back({Kind::User, &p.name, p.presenceClass, p.admin, p.raisedHand, p.orderIndex});
    }
    return keys;
}

std::vector<std::string> NamesInOrder(const std::vector<Person>& people, const OrderRule& rule) {
    std::vector<std::string> names;
    for (std::size_t i : StableOrder(KeysOf(people), rule)) names.push_back(people[i].name);
    return names;
}

TEST(ChildOrderTest, PresenceModeOrdersByClassThenAdministratorsThenName) {
    const std::vector<Person> people{
        {"dave", PresenceClass::Offline},     {"Carol", PresenceClass::Other},
        {"bob", PresenceClass::Online},       {"zed", PresenceClass::Other, true},
        {"Alice", PresenceClass::Online},     {"yan", PresenceClass::Offline, true},
        {"eve", PresenceClass::Online, true},
    };
    EXPECT_EQ(NamesInOrder(people, {kSortByPresence, false}),
              (std::vector<std::string>{"eve", "Alice", "bob", "zed", "Carol", "yan", "dave"}));
}

TEST(ChildOrderTest, AdminMarkIsFoundOnlyAsWholeCharacters) {
    EXPECT_TRUE(HasAdminMark("王伟(管理员)(在线)"));
    EXPECT_FALSE(HasAdminMark("王伟(在线)"));
    EXPECT_TRUE(HasRaisedHandMark("li/张(举手)"));
    EXPECT_FALSE(HasRaisedHandMark("li/张"));
    // After a lead byte the mark's bytes pair up differently: they are no mark.
    EXPECT_FALSE(HasAdminMark(std::string("\x81") + "管理员"));
    EXPECT_TRUE(HasAdminMark(std::string("A") + "管理员"));
}

TEST(ChildOrderTest, EqualNamesKeepTheirOrderAndModeZeroUsesArrival) {
    const std::vector<Person> people{{"b", {}, false, false, 3},
                                     {"A", {}, false, false, 1},
                                     {"a", {}, false, false, 2},
                                     {"B", {}, false, false, 0}};
    EXPECT_EQ(NamesInOrder(people, {kSortByName, false}),
              (std::vector<std::string>{"A", "a", "b", "B"}));
    EXPECT_EQ(NamesInOrder(people, {kSortByArrival, false}),
              (std::vector<std::string>{"B", "A", "a", "b"}));
    EXPECT_EQ(NamesInOrder(people, {7, false}), (std::vector<std::string>{"B", "A", "a", "b"}));
}

TEST(ChildOrderTest, RaisedHandsComeFirstAndTheRestStay) {
    const std::vector<Person> people{{"x"}, {"y", {}, false, true}, {"z"}, {"w", {}, false, true}};
    EXPECT_EQ(NamesInOrder(people, {kSortRaisedHandFirst, false}),
              (std::vector<std::string>{"y", "w", "x", "z"}));
}

TEST(ChildOrderTest, UsersBeforeGroupsAndGroupsByNameOnlyWhenAsked) {
    const std::string g1 = "zoo";
    const std::string g2 = "Ant";
    const std::string u = "user";
    const std::vector<ChildKey> keys{{Kind::Group, &g1}, {Kind::User, &u}, {Kind::Group, &g2}};
    EXPECT_EQ(StableOrder(keys, {kSortByArrival, false}), (std::vector<std::size_t>{1, 0, 2}));
    EXPECT_EQ(StableOrder(keys, {kSortByArrival, true}), (std::vector<std::size_t>{1, 2, 0}));
}

TEST(ChildOrderTest, MissingDataComparesEqualToAnything) {
    const std::string name = "a";
    const ChildKey missing;
    const ChildKey user{Kind::User, &name};
    EXPECT_EQ(CompareChildKeys(missing, user, {}), 0);
    EXPECT_EQ(CompareChildKeys(user, missing, {}), 0);
}

// The shortcut for one changed key must give exactly what a full stable sort gives, whether
// or not the rest was in order.
TEST(ChildOrderTest, OneChangedKeyLandsWhereAFullSortPutsIt) {
    std::mt19937 random(11);
    const std::vector<std::string> names{"a", "B", "c", "a", "d", "C"};
    for (int round = 0; round < 2000; ++round) {
        const int mode = static_cast<int>(random() % 4);
        const OrderRule rule{mode, false};
        std::vector<Person> people(1 + random() % 12);
        for (Person& p : people) {
            p.name = names[random() % names.size()];
            p.presenceClass = static_cast<PresenceClass>(1 + random() % 3);
            p.admin = random() % 4 == 0;
            p.raisedHand = random() % 3 == 0;
            p.orderIndex = static_cast<int>(random() % 5);
        }
        std::vector<ChildKey> keys = KeysOf(people);
        // Mostly sorted inputs with one key changed, sometimes arbitrary ones.
        if (random() % 4 != 0) {
            std::vector<ChildKey> sorted;
            for (std::size_t i : StableOrder(keys, rule)) sorted.push_back(keys[i]);
            keys = sorted;
        }
        const std::size_t changed = random() % keys.size();
        Person replacement{names[random() % names.size()],
                           static_cast<PresenceClass>(1 + random() % 3), random() % 4 == 0,
                           random() % 3 == 0, static_cast<int>(random() % 5)};
        keys[changed] = {Kind::User,        &replacement.name,      replacement.presenceClass,
                         replacement.admin, replacement.raisedHand, replacement.orderIndex};
        ASSERT_EQ(StableOrderAfterChange(keys, rule, changed), StableOrder(keys, rule))
            << "round " << round;
    }
}

// The cached order of sorted children, given one new key, moves exactly as a full sort would.
TEST(ChildOrderTest, SortedChildrenMoveOneChildAsAFullSortWould) {
    std::mt19937 random(23);
    const std::vector<std::string> names{"a", "B", "c", "a", "d", "C"};
    auto randomPerson = [&] {
        return Person{names[random() % names.size()], static_cast<PresenceClass>(1 + random() % 3),
                      random() % 4 == 0, random() % 3 == 0, static_cast<int>(random() % 5)};
    };
    for (int round = 0; round < 2000; ++round) {
        const OrderRule rule{static_cast<int>(random() % 4), false};
        std::vector<Person> people(1 + random() % 12);
        for (Person& p : people) p = randomPerson();
        std::vector<ChildKey> keys = KeysOf(people);
        std::vector<os::TreeItem> handles;
        std::vector<ChildKey> sortedKeys;
        for (std::size_t i : StableOrder(keys, rule)) {
            handles.push_back(static_cast<os::TreeItem>(100 + i));
            sortedKeys.push_back(keys[i]);
        }
        SortedChildren sorted;
        sorted.Assign(rule, handles, sortedKeys);

        const std::size_t changed = random() % keys.size();
        const Person replacement = randomPerson();
        const ChildKey newKey{Kind::User,        &replacement.name,      replacement.presenceClass,
                              replacement.admin, replacement.raisedHand, replacement.orderIndex};
        const std::size_t place = sorted.Update(changed, newKey);

        sortedKeys[changed] = newKey;
        std::vector<os::TreeItem> expected;
        for (std::size_t i : StableOrder(sortedKeys, rule)) expected.push_back(handles[i]);
        ASSERT_EQ(sorted.children(), expected) << "round " << round;
        EXPECT_EQ(sorted.children()[place], handles[changed]);
    }
}

}  // namespace
