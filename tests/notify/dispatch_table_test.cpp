// Every type code's route and UI subcode, checked row by row against a table written out
// independently of the one the pump uses.

#include "notify/dispatch_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "notify/main_panel_notify.h"

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
        EXPECT_EQ(row.job == notify::Job::None, expected.route == Route::Ignored);
    }
}

TEST(DispatchTable, TheNamedIgnoredCodesAndEverythingAbove106AreIgnored) {
    for (std::uint32_t type : {4u,  7u,  8u,  9u,  23u, 33u, 44u,  45u,  46u,  48u,        56u,
                               58u, 94u, 95u, 96u, 97u, 98u, 102u, 107u, 500u, 0xFFFFFFFFu}) {
        SCOPED_TRACE("type " + std::to_string(type));
        const notify::DispatchRow row = notify::RouteOf(type);
        EXPECT_EQ(row.route, Route::Ignored);
        EXPECT_EQ(row.job, notify::Job::None);
        EXPECT_EQ(row.type, type);
    }
}

TEST(DispatchTable, EachUiSubcodeLeadsBackToOneJob) {
    // The main panel finds the job of a subcode through the table; two jobs on one subcode
    // would send one of them to the wrong place.
    std::map<int, std::set<notify::Job>> jobsOfSubcode;
    for (const notify::DispatchRow& row : notify::DispatchTable()) {
        if (notify::HasUiPart(row.route)) jobsOfSubcode[row.uiSubcode].insert(row.job);
    }
    for (const auto& [subcode, jobs] : jobsOfSubcode) {
        SCOPED_TRACE("subcode " + std::to_string(subcode));
        EXPECT_EQ(jobs.size(), 1u);
        EXPECT_EQ(notify::MainPanelNotify::JobOfSubcode(subcode), *jobs.begin());
    }
    // Subcodes no notification is routed to belong to other senders.
    for (int subcode : {0, 1, 3, 6, 7, 10, 11, 12, 13, 14, 15, 16, 17, 28, 33, 47, -1}) {
        EXPECT_EQ(notify::MainPanelNotify::JobOfSubcode(subcode), notify::Job::None) << subcode;
    }
}

}  // namespace
