// A handful of exports called through the C header, before and without InitWindows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "abi_support.h"
#include "qorvdesk/exports.h"

namespace {

TEST(Smoke, ExportsThatNeedNoWindowsAnswerThroughTheCHeader) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        void* lib = loaded.library;
        auto version = abi_test::Symbol<decltype(QorvdeskAbiVersion)>(lib, "QorvdeskAbiVersion");
        check(version && version() == QORVDESK_ABI_VERSION, "QorvdeskAbiVersion");

        // Before InitWindows RecalcClientSize does nothing (and does not crash).
        auto recalc = abi_test::Symbol<decltype(RecalcClientSize)>(lib, "RecalcClientSize");
        check(recalc != nullptr, "RecalcClientSize");
        if (recalc) recalc(640, 480);

        auto shaoX = abi_test::Symbol<decltype(GetShaoXSimpleWnd)>(lib, "GetShaoXSimpleWnd");
        check(shaoX && shaoX() == 0, "GetShaoXSimpleWnd answers 0");
        auto emailMenu =
            abi_test::Symbol<decltype(CanBatchShowEmailMenu)>(lib, "CanBatchShowEmailMenu");
        check(emailMenu && emailMenu() == 1, "CanBatchShowEmailMenu answers 1");

        auto setWait = abi_test::Symbol<decltype(SetLoginWaitTimeOut)>(lib, "SetLoginWaitTimeOut");
        auto getWait = abi_test::Symbol<decltype(GetLoginWaitTimeOut)>(lib, "GetLoginWaitTimeOut");
        check(setWait && getWait && getWait() == 0, "loginWaitTimeOut starts at 0");
        if (setWait && getWait) {
            setWait(1500);
            check(getWait() == 1500, "loginWaitTimeOut is kept");
        }

        auto encode = abi_test::Symbol<decltype(UrlEncode)>(lib, "UrlEncode");
        char buf[16];
        check(encode && encode("a b/c", buf, 4) == 9 && std::strcmp(buf, "a%2") == 0,
              "UrlEncode cuts to the buffer and answers the full length");

        auto split = abi_test::Symbol<decltype(SplitStringToArray)>(lib, "SplitStringToArray");
        std::vector<std::string> tokens;
        auto sink = [](void* user, const char* token, int length) {
            static_cast<std::vector<std::string>*>(user)->emplace_back(token, length);
        };
        check(split && split("a;;b;", ";", sink, &tokens, 1) == 2 &&
                  tokens == std::vector<std::string>{"a", "b"},
              "SplitStringToArray skips empty tokens");

        auto convert = abi_test::Symbol<decltype(ConvertUtf8ToGBK)>(lib, "ConvertUtf8ToGBK");
        char text[8] = "\xE4\xB8\xAD";  // "中" in UTF-8
        check(convert && convert(text, sizeof text) == 2 && std::strcmp(text, "\xD6\xD0") == 0,
              "ConvertUtf8ToGBK converts in place");
    });
}

TEST(Smoke, LoadingMakesNothingAndTheFirstCallsMakeOneWorldTogether) {
    EXPECT_SCENARIO([](abi_test::Checks& check, const abi_test::Loaded& loaded) {
        void* lib = loaded.library;
        // The world opens its log file in the shared client directory when it is made.
        check(!std::filesystem::exists(loaded.home / "qorvdesk.log"),
              "loading the library made no world");

        // The world takes the shared client directory the environment names at its making.
        testing_support::TempDir later;
        testing_support::ScopedEnv home("QORVDESK_HOME", later.str());
        auto setWait = abi_test::Symbol<decltype(SetLoginWaitTimeOut)>(lib, "SetLoginWaitTimeOut");
        auto getWait = abi_test::Symbol<decltype(GetLoginWaitTimeOut)>(lib, "GetLoginWaitTimeOut");
        check(setWait && getWait, "SetLoginWaitTimeOut and GetLoginWaitTimeOut");
        if (!setWait || !getWait) return;

        // Four threads make their first calls at once; the first of them makes the world and
        // the others wait for it: one world answers every later call.
        std::latch start(4);
        std::vector<std::thread> callers;
        std::vector<unsigned> answers(4, 1);
        for (int i = 0; i < 4; ++i) {
            callers.emplace_back([&, i] {
                start.arrive_and_wait();
                answers[i] = getWait();
            });
        }
        for (std::thread& caller : callers) caller.join();
        check(answers == std::vector<unsigned>(4, 0), "every first call was answered");
        setWait(700);
        std::thread([&] { check(getWait() == 700, "another thread sees the same world"); }).join();
        check(std::filesystem::exists(later.path() / "qorvdesk.log"),
              "the world was made at the first call, in the folder named then");
        check(!std::filesystem::exists(loaded.home / "qorvdesk.log"),
              "no second world was made in the folder of the load");
    });
}

}  // namespace
