// Feeds arbitrary message texts to InsertEncodedText, live and as history, after text that is
// already in the view, and runs the plain-text renderings over the same input.
// Run with a large -max_len (say -max_len=2097152): the costly inputs are long runs of face
// markers.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chat/encoding/input_encoder.h"
#include "chat/encoding/marker_objects.h"
#include "chat/encoding/plain_text.h"
#include "chat/encoding/preview.h"
#include "chat/encoding/view_inserter.h"
#include "os/controls/rich_edit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    chat::StandardMarkerObjects objects("/nonexistent-app/", "/nonexistent-temp/");

    for (chat::InsertMode mode : {chat::InsertMode::Live, chat::InsertMode::History}) {
        os::RichEdit view(1);
        view.SetText("前文 http://x.cn\r\n");
        int before = view.GetTextLength();
        chat::InsertEncodedText(view, text, mode, objects);
        chat::InsertEncodedText(view, text, mode, objects);
        if (view.GetTextLength() < before) std::abort();  // appending never removes earlier text
        if (view.GetSel().start != view.GetTextLength()) std::abort();

        // Whatever the view now holds encodes back to a body without trouble.
        chat::PictureMap pictures;
        std::vector<std::string> outgoing;
        chat::EncodeInputText(view, pictures, outgoing);
    }

    chat::ToHistoryText(text);
    chat::StripFontHeader(text);
    chat::PrepareRecentHistoryBody(text);
    std::string preview = chat::ToPreviewText(text);
    if (preview.size() > 19 + 3 && preview.size() > text.size()) std::abort();
    return 0;
}
