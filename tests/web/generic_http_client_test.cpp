// The HTTP client against a real server on 127.0.0.1: the requests are compared byte for byte
// with what the server received.

#include "web/generic_http_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "os/prompt/scripted_prompter.h"
#include "os/sys/file_ops.h"
#include "support/http/loopback_http_server.h"
#include "support/http/no_proxy.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/wait_for.h"
#include "web/request_bodies.h"

namespace {

using testing_support::LoopbackHttpServer;
using testing_support::NoProxy;
using testing_support::RecordedRequest;

class HttpClientTest : public ::testing::Test {
  protected:
    std::string Host() const { return "127.0.0.1:" + std::to_string(server.port()); }
    std::string Write(const std::string& name, std::string_view bytes) {
        const std::string path = folder.str() + name;
        EXPECT_TRUE(os::WriteFileAtomically(path, bytes));
        return path;
    }

    NoProxy noProxy;
    testing_support::TempDir folder;
    os::ManualClock clock;
    os::ScriptedPrompter prompter{
        [](const os::PromptRecord& r) { ADD_FAILURE() << "unexpected prompt: " << r.text; }};
    web::MimeTable types = web::MimeTable::Parse("image/png png\ntext/plain txt\n");
    std::function<std::optional<std::string>(const RecordedRequest&)> answer =
        [](const RecordedRequest&) { return LoopbackHttpServer::Response(200, "hello"); };
    LoopbackHttpServer server{[this](const RecordedRequest& r) { return answer(r); }};
    web::GenericHttpClient client{web::HttpClientSettings{&clock, &prompter, &types, 30000}};
};

TEST_F(HttpClientTest, GetSendsAnHttp10RequestAndKeepsBodyAndRawHeaders) {
    ASSERT_TRUE(client.Request(server.Url("/list.php?id=7"), 1, "QorvAgent"));
    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(server.Requests()[0].raw, "GET /list.php?id=7 HTTP/1.0\r\nHost: " + Host() +
                                            "\r\nUser-Agent: QorvAgent\r\nAccept: */*\r\n\r\n");
    EXPECT_EQ(client.Body(), "hello");
    EXPECT_EQ(client.Headers(), "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
    EXPECT_EQ(client.StatusCode(), 200);
}

TEST_F(HttpClientTest, AnyKindButTwoAndThreeIsAGet) {
    for (int kind : {0, 1, 4, -1}) {
        ASSERT_TRUE(client.Request(server.Url("/"), kind, "a")) << kind;
    }
    for (const RecordedRequest& r : server.Requests()) EXPECT_EQ(r.method, "GET");
}

TEST_F(HttpClientTest, FormPostJoinsTheArgumentsInOrderWithoutEncodingThem) {
    client.AddArgument("user", "a%20b", web::ArgumentKind::Text);
    client.AddArgument("n", "", web::ArgumentKind::Text);
    client.AddArgument("x", "1", web::ArgumentKind::Text);
    ASSERT_TRUE(client.Request(server.Url("/post"), 2, "A"));
    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(server.Requests()[0].raw, "POST /post HTTP/1.0\r\nHost: " + Host() +
                                            "\r\nUser-Agent: A\r\nAccept: */*\r\n"
                                            "Content-Type: application/x-www-form-urlencoded\r\n"
                                            "Content-Length: 17\r\n\r\nuser=a%20b&n=&x=1");
}

TEST_F(HttpClientTest, AFormBodyStopsAt1023BytesAndNeverSplitsAChineseCharacter) {
    client.AddArgument("k", std::string(1020, 'v') + "中", web::ArgumentKind::Text);
    ASSERT_TRUE(client.Request(server.Url("/post"), 2, "A"));
    EXPECT_EQ(server.Requests()[0].body, "k=" + std::string(1020, 'v'))
        << "the 1023rd byte would be half a character";
    client.ClearArguments();
    client.AddArgument("k", std::string(2000, 'w'), web::ArgumentKind::Text);
    ASSERT_TRUE(client.Request(server.Url("/post"), 2, "A"));
    EXPECT_EQ(server.Requests()[1].body.size(), 1023u) << "the value record holds 1023 bytes";
}

TEST_F(HttpClientTest, MultipartWithOneTextFieldIsOnePartAndTheCloseDelimiter) {
    client.AddArgument("n", "v", web::ArgumentKind::Text);
    ASSERT_TRUE(client.Request(server.Url("/up"), 3, "A"));
    const std::string body =
        "----MULTI-PARTS-FORM-DATA-BOUNDARY\r\n"
        "Content-Disposition: form-data; name=\"n\"\r\n\r\n"
        "v\r\n"
        "----MULTI-PARTS-FORM-DATA-BOUNDARY--\r\n";
    ASSERT_EQ(server.RequestCount(), 1u);
    const RecordedRequest r = server.Requests()[0];
    EXPECT_EQ(r.raw, "POST /up HTTP/1.0\r\nHost: " + Host() +
                         "\r\nUser-Agent: A\r\nAccept: */*\r\n"
                         "Content-Type: multipart/form-data; "
                         "boundary=--MULTI-PARTS-FORM-DATA-BOUNDARY\r\n"
                         "Content-Length: " +
                         std::to_string(body.size()) + "\r\n\r\n" + body);
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
}

TEST_F(HttpClientTest, AMultipartFileFieldCarriesPathTypeAndBytes) {
    std::string bytes;
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>(i % 256);  // binary, over 1024
    const std::string png = Write("pic.PNG", bytes);
    const std::string other = Write("data.bin", "xyz");
    client.AddArgument("t", "1", web::ArgumentKind::Text);
    client.AddArgument("f", png, web::ArgumentKind::File);
    client.AddArgument("g", other, web::ArgumentKind::File);
    ASSERT_TRUE(client.Request(server.Url("/up"), 3, "A"));
    const std::string b = "--MULTI-PARTS-FORM-DATA-BOUNDARY";
    const std::string expected =
        "--" + b + "\r\nContent-Disposition: form-data; name=\"t\"\r\n\r\n1\r\n" + "--" + b +
        "\r\nContent-Disposition: form-data; name=\"f\"; filename=\"" + png +
        "\"\r\nContent-Type: image/png\r\n\r\n" + bytes + "\r\n" + "--" + b +
        "\r\nContent-Disposition: form-data; name=\"g\"; filename=\"" + other +
        "\"\r\nContent-Type: application/octet-stream\r\n\r\nxyz\r\n" + "--" + b + "--\r\n";
    const RecordedRequest r = server.Requests()[0];
    EXPECT_EQ(r.body, expected);
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(expected.size()));
}

TEST_F(HttpClientTest, AMultipartFormWhoseFileCannotBeReadIsNotSent) {
    client.AddArgument("f", folder.str() + "missing.png", web::ArgumentKind::File);
    EXPECT_FALSE(client.Request(server.Url("/up"), 3, "A"));
    EXPECT_EQ(client.LastFailure(), web::HttpFailure::FileUnreadable);
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(HttpClientTest, ABodyLongerThanTheBufferIsCutAtItsSize) {
    std::string big(250000, 'b');
    for (std::size_t i = 0; i < big.size(); i += 997) big[i] = 'x';
    answer = [&](const RecordedRequest&) { return LoopbackHttpServer::Response(200, big); };
    ASSERT_TRUE(client.Request(server.Url("/big"), 1, "A"));
    EXPECT_EQ(client.Body(), big.substr(0, web::kResponseBodySize));
}

TEST_F(HttpClientTest, TheHeaderBlockIsCutAtItsBufferSize) {
    std::string longHeader;
    for (int i = 0; i < 8; ++i) longHeader += "X-Long: " + std::string(20000, 'h') + "\r\n";
    answer = [&](const RecordedRequest&) {
        return LoopbackHttpServer::Response(200, "ok", longHeader);
    };
    ASSERT_TRUE(client.Request(server.Url("/"), 1, "A"));
    EXPECT_EQ(client.Headers().size(), web::kResponseHeaderSize);
    EXPECT_THAT(client.Headers(), ::testing::StartsWith("HTTP/1.0 200 OK\r\n"));
    EXPECT_EQ(client.Body(), "ok");
}

TEST_F(HttpClientTest, AnAnswerWithoutBodyBytesIsAFailureAndAnErrorStatusWithOneIsNot) {
    answer = [](const RecordedRequest&) { return LoopbackHttpServer::Response(200, ""); };
    EXPECT_FALSE(client.Request(server.Url("/"), 1, "A"));
    EXPECT_EQ(client.LastFailure(), web::HttpFailure::NoResponse);
    EXPECT_EQ(client.Headers(), "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n");

    answer = [](const RecordedRequest&) { return LoopbackHttpServer::Response(404, "gone"); };
    EXPECT_TRUE(client.Request(server.Url("/"), 1, "A"));
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_EQ(client.Body(), "gone");
}

TEST_F(HttpClientTest, FailuresToConnectOrParseAreReported) {
    EXPECT_FALSE(client.Request("http://:80/x", 1, "A"));
    EXPECT_EQ(client.LastFailure(), web::HttpFailure::BadUrl);

    // A port nobody listens on: take one from a server that is gone.
    int closedPort = 0;
    {
        LoopbackHttpServer gone{[](const RecordedRequest&) { return std::nullopt; }};
        closedPort = gone.port();
    }
    EXPECT_FALSE(client.Request("http://127.0.0.1:" + std::to_string(closedPort) + "/", 1, "A"));
    EXPECT_EQ(client.LastFailure(), web::HttpFailure::Transfer);
    EXPECT_NE(client.LastErrorCode(), 0);
    EXPECT_THAT(client.Body(), ::testing::IsEmpty());
}

TEST_F(HttpClientTest, AServerThatNeverAnswersTimesOutOnTheClock) {
    answer = [](const RecordedRequest&) { return std::nullopt; };
    std::atomic<bool> done{false};
    bool answered = true;
    std::thread requester([&] {
        answered = client.Request(server.Url("/slow"), 1, "A");
        done = true;
    });
    ASSERT_TRUE(
        testing_support::WaitFor([&] { return server.RequestCount() == 1; }, "the request"));
    clock.Advance(29999);
    // Time moves only when the test says so; each step wakes the transfer, which gives up
    // once 30 s of clock time pass without a byte.
    EXPECT_TRUE(testing_support::WaitFor(
        [&] {
            if (!done) clock.Advance(1000);
            return done.load();
        },
        "the time-out"));
    requester.join();
    EXPECT_FALSE(answered);
    EXPECT_EQ(client.LastFailure(), web::HttpFailure::TimedOut);
    EXPECT_GE(clock.Now(), 30000);
}

TEST_F(HttpClientTest, UploadPictureSendsTheRoomFormAndAnswersTheStatus) {
    const std::string picture = std::string("\x89PNG\r\n\x1A\n\0\x01", 10) + "rest";
    const std::string path = Write("相片.png", picture);
    answer = [](const RecordedRequest&) { return LoopbackHttpServer::Response(201, "done"); };
    EXPECT_EQ(client.UploadPicture(server.Url("/upload.aspx"), path), 201);
    ASSERT_EQ(server.RequestCount(), 1u);
    const RecordedRequest r = server.Requests()[0];
    const std::string b = "---------------------------7b4a6d158c9";
    const std::string body =
        "--" + b + "\r\nContent-Disposition: form-data; name=\"Crypt\"\r\n\r\n10\r\n" + "--" + b +
        "\r\nContent-Disposition: form-data; name=\"type\"\r\n\r\n200\r\n" + "--" + b +
        "\r\nContent-Disposition: form-data; name=\"suerid\"\r\n\r\n200\r\n" + "--" + b +
        "\r\nContent-Disposition: form-data; name=\"filename\"; filename=\"相片.png\"\r\n" +
        "Content-Type: image/x-png\r\n\r\n" + picture + "\r\n--" + b +
        "\r\nContent-Disposition: form-data; name=\"Submit\"\r\n\r\nsubmit\r\n--" + b + "--";
    EXPECT_EQ(r.raw, "POST /upload.aspx HTTP/1.1\r\nHost: " + Host() +
                         "\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
                         "application/xaml+xml,*/*\r\n"
                         "Accept-Encoding: gzip, deflate\r\n"
                         "Accept-Language: zh-cn\r\n"
                         "Content-Type: multipart/form-data; boundary=" +
                         b + "\r\nCache-Control: no-cache\r\nContent-Length: " +
                         std::to_string(body.size()) + "\r\n\r\n" + body);
}

struct PictureType {
    const char* name;
    const char* lines;
};

TEST(PictureContentType, FollowsTheUpperCasedExtension) {
    const PictureType cases[] = {
        {"a.jpg", "Content-Type: image/pjpeg\r\n\r\n"},
        {"a.JPEG", "Content-Type: image/pjpeg\r\n\r\n"},
        {"a.Gif", "Content-Type: image/gif\r\n\r\n"},
        {"a.png", "Content-Type: image/x-png\r\n\r\n"},
        {"a.bmp", "Content-Type: application/octet-stream\r\n\r\n"},
        {"noext", "Content-Type: application/octet-stream\r\n\r\n"},
    };
    for (const PictureType& c : cases) {
        EXPECT_EQ(web::PictureContentTypeLines(c.name), c.lines) << c.name;
    }
}

TEST_F(HttpClientTest, UploadPictureOfAFileThatCannotBeOpenedTellsTheUserAndSendsNothing) {
    prompter.AnswerMessageBox(os::IDOK);
    EXPECT_EQ(client.UploadPicture(server.Url("/upload.aspx"), folder.str() + "none.jpg"), 0);
    EXPECT_THAT(prompter.Texts(), ::testing::ElementsAre(web::kUnableToOpenFile));
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(HttpClientTest, DownloadWritesTheWholeFileAndLeavesNoTemporaryFile) {
    const std::string content(300000, 'd');  // larger than the response buffer
    answer = [&](const RecordedRequest&) { return LoopbackHttpServer::Response(200, content); };
    const std::string target = folder.str() + "update.zip";
    ASSERT_TRUE(client.Download(server.Url("/files/update.zip"), target));
    std::string saved;
    ASSERT_TRUE(os::ReadFile(target, saved));
    EXPECT_EQ(saved, content);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(server.Requests()[0].target, "/files/update.zip");
}

TEST_F(HttpClientTest, DownloadFollowsARedirect) {
    answer = [this](const RecordedRequest& r) -> std::optional<std::string> {
        if (r.target == "/old") {
            return LoopbackHttpServer::Response(302, "",
                                                "Location: " + server.Url("/new") + "\r\n");
        }
        return LoopbackHttpServer::Response(200, "moved");
    };
    const std::string target = folder.str() + "f.txt";
    ASSERT_TRUE(client.Download(server.Url("/old"), target));
    std::string saved;
    ASSERT_TRUE(os::ReadFile(target, saved));
    EXPECT_EQ(saved, "moved");
}

TEST_F(HttpClientTest, AFailedDownloadLeavesTheOldFileAsItWas) {
    const std::string target = Write("avatar.png", "old picture");
    struct Case {
        const char* what;
        std::string response;
    };
    const Case cases[] = {
        {"an error status", LoopbackHttpServer::Response(404, "not here")},
        // The connection ends 5 bytes into a 100-byte body.
        {"a cut body", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort"},
    };
    for (const Case& c : cases) {
        answer = [&](const RecordedRequest&) { return c.response; };
        EXPECT_FALSE(client.Download(server.Url("/a.png"), target)) << c.what;
        std::string kept;
        ASSERT_TRUE(os::ReadFile(target, kept));
        EXPECT_EQ(kept, "old picture") << c.what;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
