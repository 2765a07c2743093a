#include "contacts/item_data_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "os/sys/clock.h"
#include "platform/jid/jid.h"

namespace {

using contacts::CGroup;
using contacts::CIMTreeItemData;
using contacts::CUser;
using contacts::ItemDataList;
using platform::JidMatch;

platform::UserTypeOf UserTypes() {
    return [](std::string_view jid) { return platform::Jid(jid).UserType(); };
}

// Keeps the list's indexes in step with key changes, as a tree does.
class Reindexer final : public CIMTreeItemData::KeyListener {
  public:
    explicit Reindexer(ItemDataList& list) : list_(list) {}
    void OnJidChanged(CIMTreeItemData& item, std::string_view) override { list_.Reindex(item); }
    void OnPathKeyChanged(CIMTreeItemData& item, std::string_view) override { list_.Reindex(item); }

  private:
    ItemDataList& list_;
};

class ItemDataListTest : public ::testing::Test {
  protected:
    CIMTreeItemData* AddUser(std::string jid, std::string groupKey = {}) {
        auto user = std::make_unique<CUser>(clock_, std::move(jid), "n", "", "");
        user->groupKey = std::move(groupKey);
        return list_.Append(CIMTreeItemData::ForUser(std::move(user)), &reindexer_);
    }
    CIMTreeItemData* AddGroup(std::string pathKey) {
        return list_.Append(
            CIMTreeItemData::ForGroup(std::make_unique<CGroup>("id", "g", "", std::move(pathKey))),
            &reindexer_);
    }

    os::ManualClock clock_;
    ItemDataList list_{UserTypes()};
    Reindexer reindexer_{list_};
};

TEST_F(ItemDataListTest, FindsTheFirstMatchInListOrder) {
    CIMTreeItemData* first = AddUser("wang$gov@h", "top,1");
    CIMTreeItemData* second = AddUser("WANG$gov@h", "top,2");
    EXPECT_EQ(list_.FindUser("Wang$Gov@H", "", JidMatch::Exact), first->user());
    EXPECT_EQ(list_.FindUser("wang$gov@h", "top,2", JidMatch::Exact), second->user());
    EXPECT_EQ(list_.FindUser("wang$gov@h", "top,3", JidMatch::Exact), nullptr);
    // Loose: the other spelling and a resource.
    EXPECT_EQ(list_.FindUser("wang@gover.h/desk", "", JidMatch::Loose), first->user());
    EXPECT_EQ(list_.FindUser("wang@gover.h", "", JidMatch::Exact), nullptr);
    EXPECT_EQ(list_.FindUsers("wang$gov@h", JidMatch::Exact),
              (std::vector<CUser*>{first->user(), second->user()}));
}

TEST_F(ItemDataListTest, ItemsWithoutPayloadAreInTheListButNeverFound) {
    CIMTreeItemData* empty =
        list_.Append(CIMTreeItemData::WithoutPayload(contacts::ItemKind::User), &reindexer_);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(list_.size(), 1u);
    EXPECT_EQ(list_.FindUser("", "", JidMatch::Loose), nullptr);
    const std::unique_ptr<CIMTreeItemData> taken = list_.Remove(empty);
    EXPECT_EQ(taken.get(), empty);
    EXPECT_TRUE(list_.empty());
    EXPECT_EQ(list_.Remove(empty), nullptr);  // no longer in the list
    // An item of another list is not this one's.
    ItemDataList other{UserTypes()};
    CIMTreeItemData* foreign =
        other.Append(CIMTreeItemData::WithoutPayload(contacts::ItemKind::Group), nullptr);
    EXPECT_EQ(list_.Remove(foreign), nullptr);
    EXPECT_EQ(other.size(), 1u);
}

TEST_F(ItemDataListTest, IdsAreNeverGivenTwice) {
    CIMTreeItemData* a = AddUser("a@h");
    const std::uint32_t oldId = list_.firstId();
    ASSERT_EQ(list_.ById(oldId), a);
    list_.Clear();
    CIMTreeItemData* b = AddUser("b@h");
    EXPECT_EQ(list_.ById(oldId), nullptr);
    EXPECT_EQ(list_.ById(list_.firstId()), b);
    EXPECT_GT(list_.firstId(), oldId);
}

// A linear walk with the rule itself: what the indexes must always answer.
CUser* LinearFind(const ItemDataList& list, std::string_view jid, std::string_view groupKey,
                  JidMatch match) {
    for (const auto& item : list) {
        CUser* user = item->user();
        if (user != nullptr && platform::Jid::Equal(user->GetJid(), jid, match, UserTypes()) &&
            (groupKey.empty() || user->groupKey == groupKey)) {
            return user;
        }
    }
    return nullptr;
}

CGroup* LinearFindGroup(const ItemDataList& list, std::string_view pathKey) {
    for (const auto& item : list) {
        if (CGroup* group = item->group(); group != nullptr && group->pathKey() == pathKey) {
            return group;
        }
    }
    return nullptr;
}

TEST_F(ItemDataListTest, ManyKeysStayFoundThroughGrowthAndRemovalsInAnyOrder) {
    // Thousands of distinct JIDs and path keys: the indexes grow many times, and removals in
    // random order close the gaps of long probe runs.
    constexpr int kCount = 3000;
    std::vector<CIMTreeItemData*> users;
    std::vector<CIMTreeItemData*> groups;
    for (int n = 0; n < kCount; ++n) {
        users.push_back(AddUser("p" + std::to_string(n) + "$gov@h", "top,u" + std::to_string(n)));
        groups.push_back(AddGroup("top,u" + std::to_string(n)));
    }
    std::vector<int> order(kCount);
    for (int n = 0; n < kCount; ++n) order[n] = n;
    std::shuffle(order.begin(), order.end(), std::mt19937(11));
    std::vector<bool> removed(kCount, false);
    for (int k = 0; k < kCount * 2 / 3; ++k) {
        const int n = order[k];
        ASSERT_NE(list_.Remove(users[n]), nullptr);
        ASSERT_NE(list_.Remove(groups[n]), nullptr);
        removed[n] = true;
    }
    for (int n = 0; n < kCount; ++n) {
        SCOPED_TRACE(n);
        const std::string jid = "P" + std::to_string(n) + "$GOV@h";
        const std::string key = "top,u" + std::to_string(n);
        if (removed[n]) {
            EXPECT_EQ(list_.FindUser(jid, "", JidMatch::Exact), nullptr);
            EXPECT_EQ(list_.FindGroup(key), nullptr);
        } else {
            EXPECT_EQ(list_.FindUser(jid, key, JidMatch::Exact), users[n]->user());
            EXPECT_EQ(list_.FindUser(jid, "", JidMatch::Loose), users[n]->user());
            EXPECT_EQ(list_.FindGroup(key), groups[n]->group());
        }
    }
}

TEST_F(ItemDataListTest, IndexesAgreeWithALinearWalkThroughRandomChanges) {
    // Spellings that are equal under one rule or the other.
    const std::vector<std::string> jids{
        "wang$gov@h",          "WANG$gov@h",          "wang@gover.h",
        "wang$gov@h/desk",     " wang$gov@h",         "li$pub@h",
        "li@puber.h",          "8613800138000@sms.h", "13800138000@sms.h",
        "13800138000@sms.h/x", "张三$gov@h",          "/odd@h"};
    const std::vector<std::string> groupKeys{"", "top,1", "top,2"};
    std::mt19937 random(5);
    auto pick = [&](const auto& pool) { return pool[random() % pool.size()]; };
    auto pathKey = [&] { return pick(groupKeys) + ",g" + std::to_string(random() % 3); };
    auto anyItem = [&]() -> CIMTreeItemData* {
        if (list_.empty()) return nullptr;
        auto it = list_.begin();
        std::advance(it, random() % list_.size());
        return it->get();
    };

    for (int step = 0; step < 6000; ++step) {
        const unsigned op = random() % 100;
        if (op < 45) {
            AddUser(pick(jids), pick(groupKeys));
        } else if (op < 52) {
            AddGroup(pathKey());
        } else if (op < 70) {
            if (CIMTreeItemData* item = anyItem()) {
                EXPECT_NE(list_.Remove(item), nullptr);
            }
        } else if (op < 80) {
            if (CIMTreeItemData* item = anyItem(); item != nullptr && item->user() != nullptr) {
                item->user()->SetJid(pick(jids));
            } else if (item != nullptr && item->group() != nullptr) {
                item->group()->SetPathKey(pathKey());
            }
        } else if (op < 84) {
            if (CIMTreeItemData* item = anyItem(); item != nullptr && item->user() != nullptr) {
                item->user()->groupKey = pick(groupKeys);
            }
        } else if (op < 85) {
            list_.Clear();
        }
        // Every step, a few questions.
        for (int q = 0; q < 3; ++q) {
            const std::string jid = pick(jids);
            const std::string groupKey = pick(groupKeys);
            for (JidMatch match : {JidMatch::Exact, JidMatch::Loose}) {
                ASSERT_EQ(list_.FindUser(jid, groupKey, match),
                          LinearFind(list_, jid, groupKey, match))
                    << "step " << step << " jid " << jid << " group " << groupKey;
            }
            const std::string key = pathKey();
            ASSERT_EQ(list_.FindGroup(key), LinearFindGroup(list_, key)) << "step " << step;
        }
    }
}

}  // namespace
