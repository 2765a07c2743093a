// Showing chat messages: a 1 000-byte body with 20 faces appended to a message view, into an
// empty view and at the end of a view that already holds a long conversation.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <string_view>

#include "chat/encoding/input_encoder.h"
#include "chat/encoding/links.h"
#include "chat/encoding/marker_objects.h"
#include "chat/encoding/markers.h"
#include "chat/encoding/view_inserter.h"
#include "os/controls/rich_edit.h"

namespace {

// Header + a body of exactly 1 000 bytes: Chinese and ASCII text with 20 face markers.
std::string Message() {
    std::string body;
    for (int face = 0; face < 20; ++face) {
        body += chat::FaceMarker(face * 3);
        body += "你好，今天的会议改到下午three点";  // 31 bytes
    }
    body.resize(1000, 'x');
    return std::string(chat::kIncomingDefaultHeader) + body + "\r\n";
}

void BM_InsertEncodedTextIntoEmptyView(benchmark::State& state) {
    const std::string message = Message();
    chat::StandardMarkerObjects objects("/app/", "/nonexistent/");
    for (auto _ : state) {
        os::RichEdit view(1);
        chat::InsertEncodedText(view, message, chat::InsertMode::Live, objects);
        benchmark::DoNotOptimize(view.GetTextLength());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(BM_InsertEncodedTextIntoEmptyView);

void BM_InsertEncodedTextAfterLongConversation(benchmark::State& state) {
    const std::string message = Message();
    const int earlier = static_cast<int>(state.range(0));
    chat::StandardMarkerObjects objects("/app/", "/nonexistent/");
    os::RichEdit view(1);
    int shown = 0;
    for (auto _ : state) {
        if (shown % 1000 == 0) {
            state.PauseTiming();
            view.SetText("");
            for (int i = 0; i < earlier; ++i)
                chat::InsertEncodedText(view, message, chat::InsertMode::Live, objects);
            state.ResumeTiming();
        }
        chat::InsertEncodedText(view, message, chat::InsertMode::Live, objects);
        ++shown;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(BM_InsertEncodedTextAfterLongConversation)->Arg(1000);

void BM_EncodeInputText(benchmark::State& state) {
    os::RichEdit input(1);
    for (int face = 0; face < 20; ++face) {
        input.InsertObject({os::RichObjectKind::Face, static_cast<std::uint32_t>(face), ""});
        input.ReplaceSel("你好，今天的会议改到下午three点");
    }
    chat::PictureMap pictures;
    for (auto _ : state) {
        std::vector<std::string> outgoing;
        benchmark::DoNotOptimize(chat::EncodeInputText(input, pictures, outgoing));
    }
}
BENCHMARK(BM_EncodeInputText);

// Hostile peer input: a body made only of markers, 1 MB and 2 MB (range(0) in bytes). Linear
// work shows as a 2 MB time about twice the 1 MB one.
std::string Repeated(std::string_view piece, std::size_t bytes) {
    std::string text(chat::kIncomingDefaultHeader);
    while (text.size() + piece.size() <= bytes) text += piece;
    return text;
}

void InsertHostile(benchmark::State& state, std::string_view piece) {
    const std::string message = Repeated(piece, static_cast<std::size_t>(state.range(0)));
    chat::StandardMarkerObjects objects("/app/", "/nonexistent/");
    for (auto _ : state) {
        os::RichEdit view(1);
        chat::InsertEncodedText(view, message, chat::InsertMode::Live, objects);
        benchmark::DoNotOptimize(view.GetTextLength());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_InsertEncodedTextAllFaces(benchmark::State& state) { InsertHostile(state, "#(05)#"); }
BENCHMARK(BM_InsertEncodedTextAllFaces)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// Picture markers that never close: each one looks for a "]".
void BM_InsertEncodedTextUnclosedPictures(benchmark::State& state) {
    InsertHostile(state, "#(-2)#[");
}
BENCHMARK(BM_InsertEncodedTextUnclosedPictures)
    ->Arg(1 << 20)
    ->Arg(2 << 20)
    ->Unit(benchmark::kMillisecond);

// Faces mixed with text and pictures whose files are missing.
void BM_InsertEncodedTextMixed(benchmark::State& state) {
    InsertHostile(state, "a#(12)#你#(-2)#[p.jpg]");
}
BENCHMARK(BM_InsertEncodedTextMixed)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

// ---- Links in 1 MB and 2 MB of hostile peer text (range(0) in bytes) ----
// The reference is a plain copy of the same bytes into a view in the same run: the least any
// showing of the text costs. Linear work shows as a 2 MB time about twice the 1 MB one.

std::string Filled(std::string_view piece, std::size_t bytes) {
    std::string text;
    text.reserve(bytes);
    while (text.size() + piece.size() <= bytes) text += piece;
    return text;
}

void BM_PlainCopyIntoView(benchmark::State& state) {
    const std::string text =
        Filled("http://a <a href=x>y</a>", static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        os::RichEdit view(1);
        view.ReplaceSel(text);
        benchmark::DoNotOptimize(view.GetTextLength());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_PlainCopyIntoView)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

void MarkLinksIn(benchmark::State& state, std::string_view piece) {
    const std::string text = Filled(piece, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();  // the view's filling and its destruction are not the marking
        auto view = std::make_unique<os::RichEdit>(1);
        view->ReplaceSel(text);
        state.ResumeTiming();
        benchmark::DoNotOptimize(chat::MarkLinks(*view, 0, -1));
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// An address every few bytes: each one a link of its own.
void BM_MarkLinksAddresses(benchmark::State& state) { MarkLinksIn(state, "http://a www.b "); }
BENCHMARK(BM_MarkLinksAddresses)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// Anchors only: each one replaced by its label.
void BM_MarkLinksAnchors(benchmark::State& state) { MarkLinksIn(state, "<a href=x>y</a>"); }
BENCHMARK(BM_MarkLinksAnchors)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// Anchors whose href holds an address, between plain addresses.
void BM_MarkLinksMixed(benchmark::State& state) {
    MarkLinksIn(state, "<a href='http://x'>www.y</a> ftp://z ");
}
BENCHMARK(BM_MarkLinksMixed)->Arg(1 << 20)->Arg(2 << 20)->Unit(benchmark::kMillisecond);
