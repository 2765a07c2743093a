// Rendering 1 000 received messages with faces into a chat window's message view, each under
// its grey speaker line, against the reference of the same run: appending the same lines as
// plain text, without markers, fonts or links (the least showing them can cost). Target:
// under 100 ms for the 1 000 messages.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "chat/chat_rich_view.h"
#include "chat/encoding/markers.h"
#include "os/sys/clock.h"

namespace {

constexpr int kMessages = 1000;

// A message as the view gets it: a header, text, three faces and an address.
std::string Message(int n) {
    std::string text = "FONT(宋体,134,2,180,1,0,0,0,255,0,0)";
    text += "第" + std::to_string(n) + "条消息，";
    text += chat::FaceMarker(n % 80);
    text += "会议改到下午三点";
    text += chat::FaceMarker((n + 7) % 80);
    text += " 详见 http://oa.example.invalid/notice?id=" + std::to_string(n) + " ";
    text += chat::FaceMarker((n + 13) % 80);
    return text;
}

// The same characters a person reads, without markers or header.
std::string PlainLine(int n) {
    return "张三 说 2026-01-04 08:03:00\r\n第" + std::to_string(n) +
           "条消息， 会议改到下午三点  详见 http://oa.example.invalid/notice?id=" +
           std::to_string(n) + "  \r\n";
}

void BM_RenderMessagesWithFaces(benchmark::State& state) {
    std::vector<std::string> messages;
    for (int n = 0; n < kMessages; ++n) messages.push_back(Message(n));
    os::ManualClock clock;
    for (auto _ : state) {
        chat::CChatRichView view(1001, chat::ViewKind::ReadOnly, clock, "/nonexistent-app/",
                                 "/nonexistent-temp/");
        for (const std::string& message : messages) {
            view.AppendMessage("张三", "2026-01-04 08:03:00", message);
        }
        benchmark::DoNotOptimize(view.GetTextLength());
        if (view.GetObjectCount() != 3 * kMessages) state.SkipWithError("faces missing");
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_RenderMessagesWithFaces)->Unit(benchmark::kMillisecond);

void BM_AppendSamePlainTextReference(benchmark::State& state) {
    std::vector<std::string> lines;
    for (int n = 0; n < kMessages; ++n) lines.push_back(PlainLine(n));
    for (auto _ : state) {
        os::RichEdit view(1001);
        for (const std::string& line : lines) {
            view.SetSel(-1, -1);
            view.ReplaceSel(line);
        }
        benchmark::DoNotOptimize(view.GetTextLength());
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_AppendSamePlainTextReference)->Unit(benchmark::kMillisecond);

}  // namespace
