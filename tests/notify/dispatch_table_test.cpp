// Every type code's route and UI subcode, checked row by row against a table written out
// independently of the one the pump uses.

#include "notify/routes/dispatch_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "notify/routes/ui_subcodes.h"

namespace {

using notify::Route;

struct Expected {
    Route route;
    int subcode;
};

// Written from the routing rules, one entry per code; codes missing here are ignored.
const std::map<std::uint32_t, Expected>& ExpectedRoutes() {
    static const std::map<std::uint32_t, Expected> table = [] {
        std::map<std::uint32_t, Expected> t;
        auto set = [&](std::initializer_list<std::uint32_t> types, Route route, int subcode) {
            for (std::uint32_t type : types) t[type] = Expected{route, subcode};
        };
        set({0}, Route::Ui, 37);
        set({1}, Route::Direct, 0);
        set({2}, Route::Copy, 0);
        set({3, 6}, Route::Ui, 45);
        set({5, 10}, Route::Direct, 0);
        set({11, 12, 13, 14, 15, 51, 101}, Route::Ui, 36);
        set({16, 18, 19, 20, 21, 22, 24}, Route::UiThenServiceDesk, 46);
        set({17}, Route::Direct, 0);
        set({25}, Route::Direct, 0);
        set({26}, Route::Ui, 30);
        set({27}, Route::Ui, 29);
        set({28}, Route::Ui, 31);
        set({29}, Route::Ui, 32);
        set({30}, Route::DirectThenUi, 4);
        set({31}, Route::DirectThenUi, 5);
        set({32}, Route::DirectThenUi, 2);
        set({34}, Route::DirectThenServiceDesk, 0);
        set({35, 36, 37}, Route::Direct, 0);
        set({38}, Route::DirectThenUi, 9);
        set({39}, Route::Ui, 22);
        set({40}, Route::Direct, 0);
        set({41}, Route::Ui, 8);
        set({42, 43}, Route::Direct, 0);
        set({47, 49, 54}, Route::Direct, 0);
        set({50, 52, 53, 55, 60, 61}, Route::Direct, 0);
        set({57}, Route::Ui, 18);
        set({59}, Route::Direct, 0);
        set({62}, Route::Ui, 19);
        set({63}, Route::Ui, 20);
        set({64}, Route::Direct, 0);
        set({65, 66, 67, 68, 70, 71, 72, 73, 74, 75, 76, 93}, Route::ServiceDesk, 0);
        set({69}, Route::Ui, 23);
        set({77}, Route::Ui, 24);
        set({78}, Route::Ui, 25);
        set({79}, Route::Ui, 26);
        set({80}, Route::Ui, 27);
        set({81}, Route::Ui, 34);
        set({82, 83, 84, 85}, Route::Ui, 35);
        set({86, 87, 88, 89, 90, 91, 92}, Route::Direct, 0);
        set({99, 100}, Route::Direct, 0);
        set({103}, Route::Ui, 43);
        set({104}, Route::Ui, 44);
        set({105, 106}, Route::Direct, 0);
        return t;
    }();
    return table;
}

TEST(DispatchTable, EveryKnownCodeHasItsRouteAndSubcode) {
    const auto table = notify::DispatchTable();
    ASSERT_EQ(table.size(), 107u);
    for (std::uint32_t type = 0; type <= 106; ++type) {
        SCOPED_TRACE("type " + std::to_string(type));
        const notify::DispatchRow& row = table[type];
        EXPECT_EQ(row.type, type);
        auto it = ExpectedRoutes().find(type);
        const Expected expected =
            it == ExpectedRoutes().end() ? Expected{Route::Ignored, 0} : it->second;
        EXPECT_EQ(notify::RouteName(row.route), notify::RouteName(expected.route));
        EXPECT_EQ(row.uiSubcode, expected.subcode);
        EXPECT_EQ(row.name.empty(), expected.route == Route::Ignored);
    }
}

TEST(DispatchTable, TheNamedIgnoredCodesAndEverythingAbove106AreIgnored) {
    for (std::uint32_t type : {4u,  7u,  8u,  9u,  23u, 33u, 44u,  45u,  46u,  48u,        56u,
                               58u, 94u, 95u, 96u, 97u, 98u, 102u, 107u, 500u, 0xFFFFFFFFu}) {
        SCOPED_TRACE("type " + std::to_string(type));
        const notify::DispatchRow row = notify::RouteOf(type);
        EXPECT_EQ(row.route, Route::Ignored);
        EXPECT_TRUE(row.name.empty());
        EXPECT_EQ(row.type, type);
    }
}

TEST(DispatchTable, EachUiSubcodeLeadsBackToOneKindOfNotification) {
    // The main panel tells a record's subcode from another sender's through the table; two
    // kinds on one subcode, or a record subcode that another sender uses, would send one of
    // them to the wrong place.
    std::map<int, std::set<std::string_view>> namesOfSubcode;
    for (const notify::DispatchRow& row : notify::DispatchTable()) {
        if (notify::HasUiPart(row.route)) namesOfSubcode[row.uiSubcode].insert(row.name);
    }
    for (const auto& [subcode, names] : namesOfSubcode) {
        SCOPED_TRACE("subcode " + std::to_string(subcode));
        EXPECT_EQ(names.size(), 1u);
        EXPECT_TRUE(notify::IsRecordSubcode(subcode));
    }
    // Subcodes no notification is routed to belong to other senders.
    for (int subcode : {0, 1, 3, 6, 7, 10, 11, 12, 13, 14, 15, 16, 17, 28, 33, 47, -1}) {
        EXPECT_FALSE(notify::IsRecordSubcode(subcode)) << subcode;
    }
    namespace ui = notify::ui;
    for (int subcode :
         {ui::kFriendRequest, ui::kUpdateDialog, ui::kArrivalTip, ui::kStatusTip,
          ui::kRegisterAudioService, ui::kOpenChatAtOnce, ui::kOpenChatFromCommandLine}) {
        EXPECT_FALSE(notify::IsRecordSubcode(subcode)) << subcode;
    }
}

TEST(DispatchTable, WithoutADirectHandlerOnlyTheNewMailCountStopsTheHandOver) {
    // The new-mail tip needs the count that only the direct part reads; a file offer or a
    // transfer's end goes on to the chat window.
    const std::map<std::uint32_t, notify::HandOver> expected = {
        {30, notify::HandOver::ToUi},
        {31, notify::HandOver::ToUi},
        {32, notify::HandOver::ToUi},
        {38, notify::HandOver::Stop},
    };
    for (const notify::DispatchRow& row : notify::DispatchTable()) {
        SCOPED_TRACE("type " + std::to_string(row.type));
        const auto it = expected.find(row.type);
        EXPECT_EQ(it != expected.end(), row.route == Route::DirectThenUi);
        EXPECT_EQ(row.withoutDirectHandler,
                  it == expected.end() ? notify::HandOver::ToUi : it->second);
    }
}

TEST(DispatchTable, EachSideIsReachedByTheRoutesThatHaveIt) {
    using notify::Side;
    struct Case {
        Route route;
        bool direct, ui, desk, copy;
    };
    const Case cases[] = {
        {Route::Ignored, false, false, false, false},
        {Route::Direct, true, false, false, false},
        {Route::Ui, false, true, false, false},
        {Route::DirectThenUi, true, true, false, false},
        {Route::UiThenServiceDesk, false, true, true, false},
        {Route::DirectThenServiceDesk, true, false, true, false},
        {Route::ServiceDesk, false, false, true, false},
        {Route::Copy, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(notify::RouteName(c.route)));
        EXPECT_EQ(notify::Reaches(c.route, Side::Direct), c.direct);
        EXPECT_EQ(notify::HasDirectPart(c.route), c.direct);
        EXPECT_EQ(notify::Reaches(c.route, Side::Ui), c.ui);
        EXPECT_EQ(notify::HasUiPart(c.route), c.ui);
        EXPECT_EQ(notify::Reaches(c.route, Side::ServiceDesk), c.desk);
        EXPECT_EQ(notify::ReachesServiceDesk(c.route), c.desk);
        EXPECT_EQ(notify::Reaches(c.route, Side::Copy), c.copy);
    }
}

}  // namespace
