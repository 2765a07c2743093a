#pragma once
// A readable picture of a rich edit's content for the encoding tests: text as it is, each
// object as {face N}, {picture NAME}, {placeholder NAME}, {offline FIELDS}.

#include <string>

#include "os/controls/rich_edit.h"

namespace chat::testing_view {

inline std::string Describe(const os::RichEdit& view) {
    std::string out;
    view.ForEachSegment(0, -1, [&out](const os::RichSegment& segment) {
        if (segment.type == os::RichSegment::Type::Text) {
            out += segment.text;
            return;
        }
        const os::RichObject& object = segment.object;
        switch (object.kind) {
            case os::RichObjectKind::Face:
                out += "{face " + std::to_string(object.userValue) + "}";
                break;
            case os::RichObjectKind::Picture:
                out += "{picture " + object.name + "}";
                break;
            case os::RichObjectKind::PicturePlaceholder:
                out += "{placeholder " + object.name + "}";
                break;
            case os::RichObjectKind::OfflineFile:
                out += "{offline " + object.name + "}";
                break;
            case os::RichObjectKind::Other:
                out += "{other}";
                break;
        }
    });
    return out;
}

}  // namespace chat::testing_view
