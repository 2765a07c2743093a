// The contact cache file of one tree: its bytes, a tree written and read back, when a save
// writes, and every file a load must refuse.
#include "contacts/contact_cache.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "contacts/im_tree.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_session_core.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::BrokenCacheFile;
using contacts::CGroup;
using contacts::CIMTree;
using contacts::CIMTreeItemData;
using contacts::CUser;

// The encodings, written out by hand so the test does not lean on the archive it checks.
std::string Dword(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
    return bytes;
}
std::string Str(std::string_view text) {  // texts below 255 bytes
    return std::string(1, static_cast<char>(text.size())) + std::string(text);
}

class ContactCacheTest : public TreeTest {
  protected:
    void SetUp() override {
        platform::SimServer& server = world_->server();
        server.AddAccount(Account("me"));
        host_ = server.HostName();
        ASSERT_EQ(session().Init(nullptr, nullptr, std::this_thread::get_id()), 1);
        ASSERT_EQ(session().Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
        const std::optional<std::string> path = contacts::CacheFilePath(context(), "我的好友");
        ASSERT_TRUE(path.has_value());
        path_ = *path;
    }

    platform::SimSessionCore& session() { return world_->simSession(); }
    std::string Jid(const std::string& local) const { return local + "$gov@" + host_; }
    std::string SmsJid(const std::string& number) const { return number + "@sms." + host_; }

    std::string FileBytes() const {
        std::string bytes;
        EXPECT_TRUE(os::ReadFile(path_, bytes));
        return bytes;
    }
    void WriteBytes(const std::string& bytes) const {
        ASSERT_TRUE(os::CreateDirectories(path_.substr(0, path_.rfind('/'))));
        ASSERT_TRUE(os::WriteFileAtomically(path_, bytes));
    }

    // Every user field the file holds, set to a text of its own.
    static void FillUser(CUser& user, const std::string& tag) {
        int n = 0;
        const auto set = [&](auto& field) { field = tag + "f" + std::to_string(++n); };
        contacts::UserDetails& d = user.EditDetails();
        set(d.industry), set(d.fax), set(user.groupId), set(d.mail), set(d.shortNumber);
        set(d.aux2), set(d.unit), set(d.duty), set(user.subscription), set(d.mobile);
        set(d.extension), set(d.title), set(d.workPhone), set(d.phone2), set(d.phone3);
        set(d.phone4), set(d.extra1), set(d.extra2), set(d.signature), set(d.extra3);
        set(d.extra4), set(d.photoType), set(d.photoData), set(user.groupKey);
        for (contacts::SharedText& text : user.EditDetails().vcardText)
            text = tag + "v" + std::to_string(++n);
        user.vcardFlags = -7;
    }

    std::string host_;
    std::string path_;
};

TEST_F(ContactCacheTest, BuddyListOfOneGroupAndTwoUsersIsWrittenByteForByte) {
    auto tree = MakeTree("我的好友");
    tree->cacheStamp = "20260105";
    const os::TreeItem group = AddGroup(*tree, "g1", "同事", os::kTreeRoot, "0");
    CUser* bob = AddUser(*tree, Jid("bob"), "Bob", group, "online");
    FillUser(*bob, "b");
    bob->EditDetails().mobile = "13800000001";
    CUser* sms = AddUser(*tree, SmsJid("13900000002"), "短信", group, "online");
    const std::string smsText = sms->displayText;
    tree->SetDirty(true);

    ASSERT_TRUE(contacts::SaveTree(*tree, context(), path_));

    std::string expected = Dword(5) + Str("20260105") + Dword(3);
    expected += Dword(0) + Str("g1") + Str("同事") + Str("0") + Str("top,g1");
    auto userRecord = [&](const CUser& u, const std::string& display, const std::string& presence) {
        std::string r = Dword(1);
        const contacts::UserDetails& d = u.details();
        for (std::string_view s : {d.industry.view(), d.fax.view(), u.groupId.view()}) r += Str(s);
        r += Str(u.GetJid());
        for (std::string_view s : {d.mail.view(), d.shortNumber.view(), std::string_view(u.name),
                                   d.aux2.view(), d.unit.view(), d.duty.view()})
            r += Str(s);
        r += Str(display) + Str(presence);
        r += Str(u.subscription);
        for (std::string_view s :
             {d.mobile.view(), d.extension.view(), d.title.view(), d.workPhone.view(),
              d.phone2.view(), d.phone3.view(), d.phone4.view(), d.extra1.view(), d.extra2.view()})
            r += Str(s);
        for (const contacts::SharedText& s : d.vcardText) r += Str(s);
        for (std::string_view s : {d.signature.view(), d.extra3.view(), d.extra4.view(),
                                   d.photoType.view(), d.photoData.view()})
            r += Str(s);
        r += Str(u.groupKey);
        return r + Dword(static_cast<std::uint32_t>(u.vcardFlags));
    };
    expected += userRecord(*bob, "Bob [离线]", "offline");
    expected += userRecord(*sms, smsText, "online");
    EXPECT_EQ(FileBytes(), expected);
    // The live objects carry what the file says.
    EXPECT_EQ(bob->displayText, "Bob [离线]");
    EXPECT_EQ(bob->presence(), "offline");
    EXPECT_EQ(sms->displayText, smsText);
    EXPECT_EQ(sms->presence(), "online");
    EXPECT_TRUE(tree->dirty()) << "a save clears nothing";
}

TEST_F(ContactCacheTest, TreeReadBackEqualsTheTreeWrittenFieldByField) {
    auto tree = MakeTree();
    tree->cacheStamp = std::string(300, 's');
    const os::TreeItem group = AddGroup(*tree, "g1", "同事", os::kTreeRoot, "0");
    CUser* bob = AddUser(*tree, Jid("bob"), "Bob", group, "online");
    FillUser(*bob, "b");
    bob->EditDetails().photoData = std::string(70000, 'p');  // the four-byte length
    bob->EditDetails().signature = std::string(255, 'q');    // the two-byte length
    CUser* sms = AddUnplacedUser(*tree, SmsJid("13900000002"), "短信", "top,g1");
    FillUser(*sms, "s");
    sms->SetPresence("online");
    sms->displayText = "短信(在线)";
    bob->EditDetails().staffNumber = "not stored";
    tree->SetDirty(true);
    ASSERT_TRUE(contacts::SaveTree(*tree, context(), path_));

    auto loaded = MakeTree();
    contacts::LoadTree(*loaded, context(), path_);
    EXPECT_EQ(loaded->cacheStamp, tree->cacheStamp);
    std::vector<CIMTreeItemData*> items;
    loaded->ForEachItemData([&](CIMTreeItemData& item) { items.push_back(&item); });
    ASSERT_EQ(items.size(), 3u);

    const CGroup* g = items[0]->group();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->id, "g1");
    EXPECT_EQ(g->name, "同事");
    EXPECT_EQ(g->parentId, "0");
    EXPECT_EQ(g->pathKey(), "top,g1");
    EXPECT_EQ(loaded->FindGroup("top,g1"), g) << "the path-key index follows a loaded group";

    const CUser* originals[] = {bob, sms};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const CUser& want = *originals[i];
        const CUser* got = items[i + 1]->user();
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->GetJid(), want.GetJid());
        for (auto field : {&CUser::name, &CUser::displayText}) EXPECT_EQ(got->*field, want.*field);
        for (auto field : {&CUser::groupId, &CUser::subscription, &CUser::groupKey})
            EXPECT_EQ(got->*field, want.*field);
        for (auto field : {&contacts::UserDetails::industry,  &contacts::UserDetails::fax,
                           &contacts::UserDetails::mail,      &contacts::UserDetails::shortNumber,
                           &contacts::UserDetails::aux2,      &contacts::UserDetails::unit,
                           &contacts::UserDetails::duty,      &contacts::UserDetails::mobile,
                           &contacts::UserDetails::extension, &contacts::UserDetails::title,
                           &contacts::UserDetails::workPhone, &contacts::UserDetails::phone2,
                           &contacts::UserDetails::phone3,    &contacts::UserDetails::phone4,
                           &contacts::UserDetails::extra1,    &contacts::UserDetails::extra2,
                           &contacts::UserDetails::signature, &contacts::UserDetails::extra3,
                           &contacts::UserDetails::extra4,    &contacts::UserDetails::photoType,
                           &contacts::UserDetails::photoData})
            EXPECT_EQ(got->details().*field, want.details().*field);
        EXPECT_EQ(got->presence(), want.presence());
        EXPECT_EQ(got->details().vcardText, want.details().vcardText);
        EXPECT_EQ(got->vcardFlags, want.vcardFlags);
        // What the file does not hold starts as in a new user.
        EXPECT_EQ(got->details().staffNumber, "");
        EXPECT_EQ(got->treeItem, os::kNoTreeItem);
        EXPECT_EQ(got->orderIndex, 0);
        EXPECT_EQ(loaded->FindUser(want.GetJid(), "", platform::JidMatch::Exact), got);
    }
    EXPECT_EQ(items[1]->user()->presence(), "offline");
    EXPECT_EQ(items[2]->user()->presence(), "online") << "an SMS recipient keeps its presence";
}

TEST_F(ContactCacheTest, LoadTrimsTrailingBlanksOfTheMobile) {
    auto tree = MakeTree();
    CUser* bob = AddUnplacedUser(*tree, Jid("bob"), "Bob");
    bob->EditDetails().mobile = "13800000001   ";
    tree->SetDirty(true);
    ASSERT_TRUE(contacts::SaveTree(*tree, context(), path_));
    auto loaded = MakeTree();
    contacts::LoadTree(*loaded, context(), path_);
    EXPECT_EQ(loaded->FindUser(Jid("bob"), "", platform::JidMatch::Exact)->details().mobile,
              "13800000001");
}

// Users read one after another share the texts they hold alike, and one whose record holds
// no detail gets no block of details.
TEST_F(ContactCacheTest, LoadedUsersShareTheirUnitsTextsAndCarryNoEmptyDetails) {
    auto tree = MakeTree();
    CUser* ann = AddUnplacedUser(*tree, Jid("ann"), "Ann", "top,g1");
    CUser* bob = AddUnplacedUser(*tree, Jid("bob"), "Bob", "top,g1");
    AddUnplacedUser(*tree, Jid("cid"), "Cid", "top,g1");
    for (CUser* user : {ann, bob}) {
        user->EditDetails().unit = "总部";
        user->EditDetails().duty = "科员";
    }
    ann->EditDetails().mobile = "   ";  // only blanks: nothing once trimmed
    tree->SetDirty(true);
    ASSERT_TRUE(contacts::SaveTree(*tree, context(), path_));

    auto loaded = MakeTree();
    contacts::LoadTree(*loaded, context(), path_);
    const CUser* a = loaded->FindUser(Jid("ann"), "", platform::JidMatch::Exact);
    const CUser* b = loaded->FindUser(Jid("bob"), "", platform::JidMatch::Exact);
    const CUser* c = loaded->FindUser(Jid("cid"), "", platform::JidMatch::Exact);
    ASSERT_TRUE(a != nullptr && b != nullptr && c != nullptr);
    EXPECT_EQ(b->details().unit, "总部");
    EXPECT_TRUE(a->details().unit.SharesWith(b->details().unit));
    EXPECT_TRUE(a->details().duty.SharesWith(b->details().duty));
    EXPECT_TRUE(a->groupKey.SharesWith(c->groupKey));
    EXPECT_EQ(a->details().mobile, "");
    EXPECT_FALSE(c->HasDetails());
}

// Whether a save writes: the file is missing or the tree changed.
struct DirtyCase {
    bool fileExists;
    bool dirty;
    bool rewritten;
};

TEST_F(ContactCacheTest, SaveWritesOnlyWhenTheTreeChangedOrHasNoFile) {
    const DirtyCase cases[] = {
        {false, false, true}, {false, true, true}, {true, false, false}, {true, true, true}};
    for (const DirtyCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "exists " << c.fileExists << " dirty " << c.dirty);
        os::DeleteFile(path_);
        if (c.fileExists) WriteBytes("old");
        auto tree = MakeTree();
        AddUnplacedUser(*tree, Jid("bob"), "Bob");
        tree->SetDirty(c.dirty);
        EXPECT_TRUE(contacts::SaveTree(*tree, context(), path_));
        EXPECT_EQ(FileBytes() != "old", c.rewritten);
        EXPECT_EQ(tree->dirty(), c.dirty);
    }
}

TEST_F(ContactCacheTest, SaveCreatesTheMissingUserFolder) {
    const std::string folder = path_.substr(0, path_.rfind('/'));
    ASSERT_FALSE(os::DirectoryExists(folder));
    auto tree = MakeTree();
    AddUnplacedUser(*tree, Jid("bob"), "Bob");
    ASSERT_TRUE(contacts::SaveTree(*tree, context(), path_));
    EXPECT_TRUE(os::FileExists(path_));
}

TEST_F(ContactCacheTest, SaveThatCannotWriteIsLoggedAndKeepsNothingHalfWritten) {
    // A file where the user folder should be: neither the folder nor the cache can be made.
    const std::string folder = path_.substr(0, path_.rfind('/'));
    ASSERT_TRUE(os::WriteFileAtomically(folder, "not a folder"));
    auto tree = MakeTree();
    AddUnplacedUser(*tree, Jid("bob"), "Bob");
    EXPECT_FALSE(contacts::SaveTree(*tree, context(), path_));
    EXPECT_TRUE(world_->log().HasCaptured("保存树信息异常！CIMTree::SaveTree.Serialize"));
    std::string left;
    EXPECT_TRUE(os::ReadFile(folder, left));
    EXPECT_EQ(left, "not a folder");
}

TEST_F(ContactCacheTest, ItemWithoutPayloadIsLoggedAndLeftOut) {
    auto tree = MakeTree();
    AddUnplacedUser(*tree, Jid("bob"), "Bob");
    auto empty = CIMTreeItemData::WithoutPayload(contacts::ItemKind::User);
    ASSERT_NE(tree->AddItemData(empty), nullptr);
    AddUnplacedUser(*tree, Jid("carol"), "Carol");
    ASSERT_TRUE(contacts::SaveTree(*tree, context(), path_));

    bool logged = false;
    for (const os::LogLine& line : world_->log().CapturedLines())
        logged |= line.level == 7 && line.text == "CIMTreeItemData::Serialize param is NULL!";
    EXPECT_TRUE(logged);
    auto loaded = MakeTree();
    contacts::LoadTree(*loaded, context(), path_);
    EXPECT_EQ(loaded->ItemDataCount(), 2u);
}

// A tree that held something before the broken load: it must end empty, without a stamp.
class BrokenCacheTest : public ContactCacheTest {
  protected:
    void ExpectRefused(const std::string& bytes, const std::string& what) {
        SCOPED_TRACE(what);
        WriteBytes(bytes);
        auto tree = MakeTree();
        AddUnplacedUser(*tree, Jid("before"), "Before");
        tree->cacheStamp = "old stamp";
        EXPECT_THROW(contacts::LoadTree(*tree, context(), path_), BrokenCacheFile);
        EXPECT_EQ(tree->ItemDataCount(), 0u);
        EXPECT_EQ(tree->cacheStamp, "");
    }

    // A small good file: one group and one user.
    std::string GoodFile() {
        auto tree = MakeTree();
        tree->cacheStamp = "stamp";
        AddGroup(*tree, "g1", "同事");
        CUser* bob = AddUnplacedUser(*tree, Jid("bob"), "Bob", "top,g1");
        bob->EditDetails().mobile = "13800000001";
        EXPECT_TRUE(contacts::SaveTree(*tree, context(), path_));
        return FileBytes();
    }
};

TEST_F(BrokenCacheTest, EveryTruncationOfAGoodFileIsRefused) {
    const std::string good = GoodFile();
    ASSERT_GT(good.size(), 100u);
    {
        auto tree = MakeTree();
        contacts::LoadTree(*tree, context(), path_);
        ASSERT_EQ(tree->ItemDataCount(), 2u) << "the whole file reads";
    }
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        ExpectRefused(good.substr(0, cut), "cut at " + std::to_string(cut));
}

TEST_F(BrokenCacheTest, FilesWithoutUsableContentAreRefused) {
    const std::string good = GoodFile();
    const std::string afterVersion = good.substr(4);
    const std::string header = Dword(5) + Str("stamp");
    const struct {
        std::string bytes;
        const char* what;
    } cases[] = {
        {Dword(4) + afterVersion, "version 4"},
        {Dword(6) + afterVersion, "version 6"},
        {header + Dword(0), "no items"},
        {header + Dword(1) + Dword(2) + Str("x"), "unknown kind"},
        {header + Dword(1) + Dword(0xFFFFFFFF), "kind -1"},
        {header + Dword(3) + good.substr(header.size() + 4), "more items announced than there"},
        {header + Dword(1) + Dword(0) + "\xFF\xFF\xFF" + Dword(0x7FFFFFFF) + "ab",
         "a length past the end"},
        {header + Dword(0xFFFFFFFF), "four billion items announced"},
        {"", "empty file"},
    };
    for (const auto& c : cases) ExpectRefused(c.bytes, c.what);
}

TEST_F(BrokenCacheTest, UnknownKindIsLoggedAtLevelZero) {
    ExpectRefused(Dword(5) + Str("") + Dword(1) + Dword(7), "kind 7");
    bool logged = false;
    for (const os::LogLine& line : world_->log().CapturedLines())
        logged |=
            line.level == 0 && line.text == "读取本地联系人时未知类型: CIMTreeItemData::Serialize ";
    EXPECT_TRUE(logged);
}

TEST_F(BrokenCacheTest, MissingFileIsRefused) {
    auto tree = MakeTree();
    AddUnplacedUser(*tree, Jid("before"), "Before");
    EXPECT_THROW(contacts::LoadTree(*tree, context(), path_ + ".none"), BrokenCacheFile);
    EXPECT_EQ(tree->ItemDataCount(), 0u);
}

TEST(CacheFilePathTest, TitleMustNameAFileInsideTheFolder) {
    EXPECT_EQ(contacts::CacheFilePath("/c/me/", "我的好友"), "/c/me/我的好友.tree");
    for (const char* title : {"../x", "a/b", "a\\b"})
        EXPECT_EQ(contacts::CacheFilePath("/c/me/", title), std::nullopt) << title;
    EXPECT_EQ(contacts::CacheFilePath("", "x"), std::nullopt);
}

}  // namespace
}  // namespace contacts_test
