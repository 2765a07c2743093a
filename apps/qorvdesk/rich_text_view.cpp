#include "rich_text_view.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "gbk_bridge.h"
#include "loop_driver.h"

namespace host {

using qorvdesk::automation::ControlInfo;
using qorvdesk::automation::KeyModifier;
using qorvdesk::automation::ObjectKind;
using qorvdesk::automation::RichObjectInfo;
using qorvdesk::automation::RichRun;
using qorvdesk::automation::RichText;
using qorvdesk::automation::WindowHandle;
namespace key = qorvdesk::automation::key;

namespace {

const QString kLinkScheme = QStringLiteral("qorv-link");

QString AppDirectory() {
    const QByteArray dir = qgetenv("QORVDESK_APPDIR");
    return dir.isEmpty() ? QString() : QString::fromLocal8Bit(dir);
}

QImage StandIn(const QString& label, QColor colour) {
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(150));
    painter.drawEllipse(1, 1, 22, 22);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, label);
    return image;
}

QTextCharFormat FormatOf(const RichRun& run) {
    QTextCharFormat format;
    if (!run.faceName.empty()) format.setFontFamilies({FromGbk(run.faceName)});
    if (run.heightTwips > 0) format.setFontPointSize(run.heightTwips / 20.0);
    if (!run.autoColor) {
        // COLORREF is 0x00BBGGRR.
        format.setForeground(
            QColor(run.color & 0xFF, (run.color >> 8) & 0xFF, (run.color >> 16) & 0xFF));
    }
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline || run.link);
    format.setFontStrikeOut(run.strikeOut);
    if (run.link) {
        format.setAnchor(true);
        format.setAnchorHref(kLinkScheme + ":" + QString::number(run.start));
        if (run.autoColor) format.setForeground(QColor(0x00, 0x4c, 0xc4));
    }
    return format;
}

void InsertObject(const RichObjectInfo& object, QTextDocument& document, QTextCursor& cursor) {
    QString name;
    QImage image;
    switch (object.kind) {
        case ObjectKind::Face:
            name = FaceResourceName(static_cast<int>(object.userValue));
            image = FaceImage(static_cast<int>(object.userValue));
            break;
        case ObjectKind::Picture: {
            const QString path = FromGbk(object.name);
            name = QStringLiteral("qorv-picture:") + path;
            image.load(path);
            if (image.isNull()) image = StandIn(QStringLiteral("图"), QColor(0xc8, 0xd8, 0xf0));
            if (image.width() > 320) image = image.scaledToWidth(320, Qt::SmoothTransformation);
            break;
        }
        case ObjectKind::PicturePlaceholder:
            name = QStringLiteral("qorv-picture-wait:%1").arg(object.userValue);
            image = StandIn(QStringLiteral("…"), QColor(0xe0, 0xe0, 0xe0));
            break;
        case ObjectKind::OfflineFile:
        case ObjectKind::Other:
            cursor.insertText("[" + FromGbk(object.name) + "]");
            return;
    }
    document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    cursor.insertImage(format);
}

class RichTextControl final : public ControlWidget {
  public:
    RichTextControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), view_(new Browser(*this, parent)) {
        view_->setOpenLinks(false);
        view_->setReadOnly(true);
        QObject::connect(view_, &QTextBrowser::anchorClicked, [this](const QUrl& url) {
            if (url.scheme() != kLinkScheme) return;
            Acted(context_.driver.ClickLink(window_, id_, url.path().toInt()), "ClickLink");
        });
        QObject::connect(view_, &QTextBrowser::textChanged, [this] {
            if (!rendering_ && editable_) Typed();
        });
    }
    QWidget* widget() override { return view_; }
    bool Stretches() const override { return true; }
    void Update(const ControlInfo& info) override {
        ApplyCommon(info);
        const auto text = context_.driver.ReadRichText(window_, id_);
        if (!text) return;
        if (editable_) {
            // What the person types is already shown; only a change the library made (the
            // box emptied after a send, a face inserted) is drawn again.
            if (FromGbk(text->plainText) == typed_ && text->objects.empty() == !hasObjects_) return;
        } else if (text->description == shown_) {
            return;
        }
        shown_ = text->description;
        hasObjects_ = !text->objects.empty();
        typed_ = FromGbk(text->plainText);
        rendering_ = true;
        if (editable_) {
            // The person types into this document too: draw it whole.
            RenderRichText(*text, *view_->document());
        } else {
            shownRendering_.Show(*text, *view_->document());
        }
        rendering_ = false;
        QTextCursor end(view_->document());
        end.movePosition(QTextCursor::End);
        view_->setTextCursor(end);
        if (!editable_) view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
    }

  private:
    class Browser final : public QTextBrowser {
      public:
        Browser(RichTextControl& owner, QWidget* parent) : QTextBrowser(parent), owner_(owner) {}

      protected:
        void mousePressEvent(QMouseEvent* event) override {
            owner_.ProbeEditable();
            QTextBrowser::mousePressEvent(event);
        }
        void focusInEvent(QFocusEvent* event) override {
            if (event->reason() != Qt::OtherFocusReason) owner_.ProbeEditable();
            QTextBrowser::focusInEvent(event);
        }
        void keyPressEvent(QKeyEvent* event) override {
            if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
                owner_.PressKey(key::kReturn, ModifierOf(event->modifiers()));
                return;
            }
            if (event->key() == Qt::Key_Escape) {
                owner_.PressKey(key::kEscape, KeyModifier::None);
                return;
            }
            owner_.ProbeEditable();
            QTextBrowser::keyPressEvent(event);
        }

      private:
        static KeyModifier ModifierOf(Qt::KeyboardModifiers modifiers) {
            if (modifiers & Qt::ControlModifier) return KeyModifier::Ctrl;
            if (modifiers & Qt::AltModifier) return KeyModifier::Alt;
            if (modifiers & Qt::ShiftModifier) return KeyModifier::Shift;
            return KeyModifier::None;
        }
        RichTextControl& owner_;
    };
    friend class Browser;

    // Whether the person may type here is the library's to say: appending nothing is refused
    // by a read-only rich edit and changes nothing in another.
    void ProbeEditable() {
        if (probed_) return;
        probed_ = true;
        editable_ = context_.driver.AppendText(window_, id_, "");
        if (editable_) view_->setReadOnly(false);
        context_.loop.PumpSoon();
    }

    void Typed() {
        const QString text = view_->toPlainText();
        const std::optional<std::string> gbk = ToGbk(text);
        if (!gbk) {
            RefuseCharacter(view_, FirstNonGbkCharacter(text));
            rendering_ = true;
            const QSignalBlocker quiet(view_);
            view_->setPlainText(typed_);
            QTextCursor end(view_->document());
            end.movePosition(QTextCursor::End);
            view_->setTextCursor(end);
            rendering_ = false;
            return;
        }
        typed_ = text;
        Acted(context_.driver.TypeText(window_, id_, *gbk), "TypeText");
    }

    Browser* view_;
    RichTextRendering shownRendering_;  // a read-only view's document
    std::string shown_;
    QString typed_;
    bool hasObjects_ = false;
    bool probed_ = false;
    bool editable_ = false;
    bool rendering_ = false;
};

}  // namespace

QString FaceResourceName(int number) { return QStringLiteral("qorv-face:%1").arg(number); }

QImage FaceImage(int number) {
    static std::map<int, QImage> cache;
    auto found = cache.find(number);
    if (found != cache.end()) return found->second;
    QImage image;
    const QString dir = AppDirectory();
    if (!dir.isEmpty()) {
        for (const char* extension : {".gif", ".png"}) {
            const QString path = QDir(dir).filePath(
                QStringLiteral("face/%1%2").arg(number).arg(QLatin1String(extension)));
            if (QFileInfo::exists(path) && image.load(path)) break;
        }
    }
    if (image.isNull()) image = StandIn(QString::number(number), QColor(0xff, 0xd2, 0x4c));
    cache.emplace(number, image);
    return image;
}

void RenderRichText(const RichText& text, QTextDocument& document) {
    document.clear();
    RichTextRendering().Show(text, document);
}

void RichTextRendering::Show(const RichText& text, QTextDocument& document) {
    std::vector<RichObjectInfo> objects = text.objects;
    std::stable_sort(
        objects.begin(), objects.end(),
        [](const RichObjectInfo& a, const RichObjectInfo& b) { return a.position < b.position; });
    // The first run that differs; the objects before it must be the ones shown too.
    std::size_t same = 0;
    while (same < runs_.size() && same < text.runs.size() && runs_[same] == text.runs[same]) {
        ++same;
    }
    if (same == runs_.size() && same > 0) --same;  // the objects after the last run may grow
    const std::size_t keptObjects = same < objectsBefore_.size() ? objectsBefore_[same] : 0;
    const bool objectsKept =
        keptObjects <= objects.size() && keptObjects <= objects_.size() &&
        std::equal(objects.begin(), objects.begin() + static_cast<std::ptrdiff_t>(keptObjects),
                   objects_.begin());
    if (same == 0 || !objectsKept) {
        document.clear();
        runStarts_.clear();
        objectsBefore_.clear();
        same = 0;
    } else {
        QTextCursor cut(&document);
        cut.setPosition(runStarts_[same]);
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        runStarts_.resize(same);
        objectsBefore_.resize(same);
    }
    redrewAll_ = same == 0;
    runs_ = text.runs;
    objects_ = std::move(objects);
    RenderFrom(same, same == 0 ? 0 : keptObjects, text, document);
}

void RichTextRendering::RenderFrom(std::size_t first, std::size_t next, const RichText& text,
                                   QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    // Runs and objects in position order. A GBK character is one position, as is one UTF-16
    // unit of the converted text; a run that counts an object's position holds a blank for it.
    for (std::size_t i = first; i < text.runs.size(); ++i) {
        const RichRun& run = text.runs[i];
        runStarts_.push_back(cursor.position());
        objectsBefore_.push_back(next);
        while (next < objects_.size() && objects_[next].position < run.start) {
            InsertObject(objects_[next++], document, cursor);
        }
        const QString piece = FromGbk(run.text);
        const bool holdsObjects = piece.size() == run.length;
        const QTextCharFormat format = FormatOf(run);
        qsizetype done = 0;
        while (next < objects_.size() && objects_[next].position < run.start + piece.size()) {
            const qsizetype at = objects_[next].position - run.start;
            QString before = piece.mid(done, at - done);
            cursor.insertText(before.remove(QLatin1Char('\r')), format);
            InsertObject(objects_[next++], document, cursor);
            done = holdsObjects ? at + 1 : at;
        }
        QString rest = piece.mid(done);
        cursor.insertText(rest.remove(QLatin1Char('\r')), format);
    }
    while (next < objects_.size()) InsertObject(objects_[next++], document, cursor);
}

std::unique_ptr<ControlWidget> MakeRichTextControl(ViewContext& context, WindowHandle window,
                                                   int id, QWidget* parent) {
    return std::make_unique<RichTextControl>(context, window, id, parent);
}

}  // namespace host
