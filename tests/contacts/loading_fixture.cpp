#include "loading_fixture.h"

#include <thread>

#include "contacts/im_tree.h"
#include "core/client_context.h"

namespace contacts_test {

LoadingTest::LoadingTest()
    : lost_(clock(), os::EventReset::Auto), notify_(clock(), os::EventReset::Auto) {
    me_ = server().AddAccount(Account("me"));
    context().SetWindowManager(&manager_);
}

LoadingTest::~LoadingTest() {
    session().Logout();
    context().SetWindowManager(nullptr);
}

::testing::AssertionResult LoadingTest::LogIn() {
    session().Init(&lost_, &notify_, std::this_thread::get_id());
    if (session().Login("me", "pw", 1, "", 0) != platform::kLoginAccepted) {
        return ::testing::AssertionFailure() << "login refused";
    }
    while (platform::NotifyRecord* record = session().GetNotify()) session().FreeNotify(record);
    return ::testing::AssertionSuccess();
}

std::string LoadingTest::Outline(const contacts::CIMTree& tree) {
    std::string lines;
    tree.ForEachItem([&](os::TreeItem item, int depth) {
        lines +=
            std::string(static_cast<std::size_t>(depth) * 2, ' ') + tree.GetItemText(item) + "\n";
    });
    return lines;
}

}  // namespace contacts_test
