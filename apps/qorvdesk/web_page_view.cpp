#include "web_page_view.h"

#include <QDesktopServices>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <cstdint>

#include "gbk_bridge.h"
#include "loop_driver.h"

namespace host {

using qorvdesk::automation::ControlInfo;
using qorvdesk::automation::PageScriptCall;
using qorvdesk::automation::WindowHandle;

bool GuardedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (isMainFrame && url == allowed_ && type != NavigationTypeLinkClicked) return true;
    // A link in the page leaves it for the desktop's browser, never inside this view.
    if (type == NavigationTypeLinkClicked &&
        (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))) {
        QDesktopServices::openUrl(url);
    }
    return false;
}

QWebEnginePage* GuardedPage::createWindow(WebWindowType) { return nullptr; }

void PageBridge::report(const QString& name, const QString& value) {
    if (sink_) sink_(name, value);
}

QString ScriptCallSource(const PageScriptCall& call) {
    static const QStringList kMethods = {QStringLiteral("SetPath"), QStringLiteral("showmsg"),
                                         QStringLiteral("SelectFromID"), QStringLiteral("GetSel")};
    const QString method =
        QString::fromLatin1(call.method.data(), static_cast<qsizetype>(call.method.size()));
    if (!kMethods.contains(method)) return {};
    QJsonArray arguments;
    for (const auto& argument : call.arguments) {
        if (argument.isInteger) {
            arguments.append(QJsonValue(static_cast<qint64>(argument.integer)));
        } else {
            arguments.append(FromGbk(argument.text));
        }
    }
    return QStringLiteral("window.%1.apply(null, %2);")
        .arg(method, QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact)));
}

namespace {

// The channel's own script, from Qt WebChannel's resources: run in the page before its own
// scripts (a script the program runs is not one the page's policy has to allow).
QWebEngineScript ChannelScript() {
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QWebEngineScript script;
    if (file.open(QIODevice::ReadOnly)) script.setSourceCode(QString::fromUtf8(file.readAll()));
    script.setName(QStringLiteral("qwebchannel"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

class WebPageControl final : public ControlWidget {
  public:
    WebPageControl(ViewContext& c, WindowHandle w, int id, QWidget* parent)
        : ControlWidget(c, w, id), view_(new QWebEngineView(parent)) {
        page_ = new GuardedPage(view_);
        QWebEngineSettings* settings = page_->settings();
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        page_->scripts().insert(ChannelScript());
        bridge_ = new PageBridge(
            [this](const QString& name, const QString& value) { Reported(name, value); }, page_);
        channel_ = new QWebChannel(page_);
        channel_->registerObject(QStringLiteral("msgmgrBridge"), bridge_);
        page_->setWebChannel(channel_);
        view_->setPage(page_);
        view_->setContextMenuPolicy(Qt::NoContextMenu);  // the page has its own menu
        QObject::connect(page_, &QWebEnginePage::loadStarted, view_, [this] {
            loaded_ = false;
            applied_ = 0;
        });
        QObject::connect(page_, &QWebEnginePage::loadFinished, view_, [this](bool ok) {
            loaded_ = ok && page_->url() == page_->allowed();
            if (loaded_) ApplyNewCalls();
        });
    }
    QWidget* widget() override { return view_; }
    bool Stretches() const override { return true; }
    void Update(const ControlInfo& info) override {
        ApplyCommon(info);
        const auto page = context_.driver.ReadWebPage(window_, id_);
        if (!page) return;
        const QUrl url = page->path.empty() ? QUrl() : QUrl::fromLocalFile(FromGbk(page->path));
        if (url != page_->allowed()) {
            page_->Allow(url);
            loaded_ = false;
            applied_ = 0;
            if (!url.isEmpty()) page_->load(url);
            return;  // the calls follow when the page has loaded
        }
        if (loaded_) ApplyNewCalls();
    }

  private:
    // Runs, in order, the kept calls newer than the last one run.
    void ApplyNewCalls() {
        const auto page = context_.driver.ReadWebPage(window_, id_);
        if (!page) return;
        for (const PageScriptCall& call : page->calls) {
            if (call.sequence <= applied_) continue;
            applied_ = call.sequence;
            const QString source = ScriptCallSource(call);
            if (!source.isEmpty()) page_->runJavaScript(source, QWebEngineScript::MainWorld);
        }
    }
    // What the page said, for the library; only from the page the library named.
    void Reported(const QString& name, const QString& value) {
        if (!loaded_ || page_->url() != page_->allowed()) return;
        const std::optional<std::string> gbkName = ToGbk(name);
        if (!gbkName) return;
        // Copied text may hold characters GBK lacks: they are left out, the rest is copied.
        const std::string gbkValue = ToGbk(value).value_or(ToGbkLossy(value));
        Acted(context_.driver.ReportPageEvent(window_, id_, *gbkName, gbkValue), "ReportPageEvent");
    }

    QWebEngineView* view_;
    GuardedPage* page_ = nullptr;
    PageBridge* bridge_ = nullptr;
    QWebChannel* channel_ = nullptr;
    bool loaded_ = false;
    std::uint64_t applied_ = 0;  // the sequence number of the last call run
};

}  // namespace

std::unique_ptr<ControlWidget> MakeWebPageControl(ViewContext& context, WindowHandle window, int id,
                                                  QWidget* parent) {
    return std::make_unique<WebPageControl>(context, window, id, parent);
}

}  // namespace host
