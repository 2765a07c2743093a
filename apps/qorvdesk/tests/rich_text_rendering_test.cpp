// A message view's document kept up to date piece by piece: after every change it shows what a
// whole redraw shows, and a message added at the end redraws only the end.

#include "rich_text_rendering_test.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "qorvdesk/automation.h"
#include "rich_text_view.h"

namespace {

using qorvdesk::automation::ObjectKind;
using qorvdesk::automation::RichObjectInfo;
using qorvdesk::automation::RichRun;
using qorvdesk::automation::RichText;

// The document as text, with each image as "[name]".
QString Described(const QTextDocument& document) {
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                out += "[" + format.toImageFormat().name() + "]";
            } else {
                out += fragment.text();
                out += format.fontWeight() == QFont::Bold ? "{b}" : "";
            }
        }
        out += "\n";
    }
    return out;
}

// A view holding `count` messages: a bold speaker line, then "message n " with a face after it.
RichText Messages(int count) {
    RichText text;
    int position = 0;
    for (int n = 0; n < count; ++n) {
        RichRun speaker;
        speaker.start = position;
        speaker.text = "speaker " + std::to_string(n) + "\r\n";
        speaker.length = static_cast<int>(speaker.text.size());
        speaker.bold = true;
        position += speaker.length;
        RichRun message;
        message.start = position;
        message.text = "message " + std::to_string(n) + "  \r\n";  // the blank holds the face
        message.length = static_cast<int>(message.text.size());
        text.objects.push_back(RichObjectInfo{position + message.length - 3,
                                              ObjectKind::Face,
                                              static_cast<std::uint32_t>(n % 80),
                                              {}});
        position += message.length;
        text.runs.push_back(std::move(speaker));
        text.runs.push_back(std::move(message));
    }
    return text;
}

QString WhollyRendered(const RichText& text) {
    QTextDocument document;
    host::RenderRichText(text, document);
    return Described(document);
}

class RichTextRenderingTest : public QObject {
    Q_OBJECT

  private slots:
    void growingViewRedrawsOnlyItsEnd() {
        QTextDocument document;
        host::RichTextRendering rendering;
        for (int count = 1; count <= 30; ++count) {
            const RichText text = Messages(count);
            rendering.Show(text, document);
            QCOMPARE(rendering.redrewAll(), count == 1);
            QCOMPARE(Described(document), WhollyRendered(text));
        }
    }

    void changeInTheMiddleOrShrinkingShowsTheNewText() {
        QTextDocument document;
        host::RichTextRendering rendering;
        rendering.Show(Messages(10), document);

        RichText changed = Messages(10);
        changed.runs[7].bold = false;  // a format change in the middle
        rendering.Show(changed, document);
        QCOMPARE(Described(document), WhollyRendered(changed));

        RichText faceGone = Messages(10);
        faceGone.objects.erase(faceGone.objects.begin() + 2);
        rendering.Show(faceGone, document);
        QCOMPARE(Described(document), WhollyRendered(faceGone));

        const RichText fewer = Messages(4);
        rendering.Show(fewer, document);
        QCOMPARE(Described(document), WhollyRendered(fewer));

        rendering.Show(RichText{}, document);
        QCOMPARE(Described(document), WhollyRendered(RichText{}));
        rendering.Show(Messages(3), document);
        QCOMPARE(Described(document), WhollyRendered(Messages(3)));
    }
};

}  // namespace

int RunRichTextRenderingTest(int argc, char** argv) {
    RichTextRenderingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "rich_text_rendering_test.moc"
