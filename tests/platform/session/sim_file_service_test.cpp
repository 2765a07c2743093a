// The simulated world's offline file service: what an upload form stores comes back from the
// key it answered, under the same name only; requests it cannot read and the failures a test
// switches on answer their status codes.

#include "platform/session/sim_file_service.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view kFormType = "multipart/form-data; boundary=--B";

std::string Form(std::string_view fileBytes) {
    std::string body = "----B\r\nContent-Disposition: form-data; name=\"key\"\r\n\r\nK\r\n";
    body += "----B\r\nContent-Disposition: form-data; name=\"file\"; filename=\"/tmp/x\"\r\n";
    body += "Content-Type: text/plain\r\n\r\n";
    body += fileBytes;
    body += "\r\n----B--\r\n";
    return body;
}

TEST(SimFileServiceTest, AnUploadComesBackFromItsKeyUnderItsNameOnly) {
    platform::SimFileService service;
    const std::string bytes("two\r\n----Bx lines\0!", 20);
    const platform::FileServiceAnswer stored =
        service.Handle("POST", "/offline/up/%B1%A8%B8%E6.txt", kFormType, Form(bytes));
    ASSERT_EQ(stored.status, 200);
    ASSERT_EQ(stored.body.size(), 32u);
    EXPECT_EQ(service.Stored(stored.body), bytes);

    const auto get = [&](std::string target) { return service.Handle("GET", target, "", ""); };
    const platform::FileServiceAnswer back =
        get("/offline/down/%B1%A8%B8%E6.txt?key=" + stored.body);
    EXPECT_EQ(back.status, 200);
    EXPECT_EQ(back.body, bytes);
    EXPECT_EQ(get("/offline/down/other.txt?key=" + stored.body).status, 404);
    EXPECT_EQ(get("/offline/down/%B1%A8%B8%E6.txt?key=0000").status, 404);
    EXPECT_EQ(get("/offline/down/%B1%A8%B8%E6.txt").status, 404);
}

TEST(SimFileServiceTest, RequestsItCannotReadAndSwitchedFailuresAnswerTheirCodes) {
    platform::SimFileService service;
    struct Case {
        const char* what;
        const char* method;
        const char* target;
        std::string_view type;
        std::string body;
        int status;
    };
    const Case cases[] = {
        {"no file part", "POST", "/up/a.txt", kFormType, "----B--\r\n", 400},
        {"no boundary", "POST", "/up/a.txt", "multipart/form-data", Form("x"), 400},
        {"an unfinished part", "POST", "/up/a.txt", kFormType, Form("x").substr(0, 90), 400},
        {"a bad escape", "POST", "/up/a%2.txt", kFormType, Form("x"), 400},
        {"no name", "POST", "/up/", kFormType, Form("x"), 400},
        {"another method", "DELETE", "/up/a.txt", "", "", 405},
        {"too large", "POST", "/up/a.txt", kFormType,
         Form(std::string(platform::SimFileService::kMaxFileBytes + 1, 'x')), 413},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(service.Handle(c.method, c.target, c.type, c.body).status, c.status) << c.what;
    }
    EXPECT_EQ(service.StoredCount(), 0u);

    service.SetFailure(platform::SimFileService::Failure::ServerError);
    EXPECT_EQ(service.Handle("POST", "/up/a.txt", kFormType, Form("x")).status, 500);
    service.SetFailure(platform::SimFileService::Failure::Busy);
    EXPECT_EQ(service.Handle("POST", "/up/a.txt", kFormType, Form("x")).status, 503);
    EXPECT_EQ(service.StoredCount(), 0u);
    service.SetFailure(platform::SimFileService::Failure::None);
    EXPECT_EQ(service.Handle("POST", "/up/a.txt", kFormType, Form("x")).status, 200);
}

}  // namespace
