#include "gbk_bridge.h"

#include "qorvdesk/automation.h"

namespace host {

QString FromGbk(std::string_view gbk) {
    const std::string utf8 = qorvdesk::automation::ToUtf8(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> ToGbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return qorvdesk::automation::FromUtf8(std::string_view(utf8.constData(), utf8.size()));
}

std::string ToGbkLossy(const QString& text) {
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        if (std::optional<std::string> piece = ToGbk(text.mid(i, length))) out += *piece;
        i += length;
    }
    return out;
}

QString FirstNonGbkCharacter(const QString& text) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, length);
        if (!ToGbk(piece)) return piece;
        i += length;
    }
    return {};
}

}  // namespace host
