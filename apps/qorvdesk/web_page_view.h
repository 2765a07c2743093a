#pragma once
// A web view of the library shown with Qt WebEngine: the page file the library names, the
// script calls it keeps (replayed after every load, newer ones applied as they come), and what
// the page reports sent back through Driver::ReportPageEvent. The page reaches the program
// only through one object on a QWebChannel ("msgmgrBridge", its `report(name, value)`), and
// only while it is the page the library named: the view never navigates anywhere else
// (an http or https link opens in the desktop's browser instead).

#include <QString>
#include <QUrl>
#include <QWebEnginePage>
#include <memory>

#include "control_widgets.h"

namespace host {

// The page of a web view: refuses every navigation but to its one page.
class GuardedPage : public QWebEnginePage {
    Q_OBJECT
  public:
    explicit GuardedPage(QObject* parent) : QWebEnginePage(parent) {}
    // The page this view may show; loading it is the only navigation allowed.
    void Allow(const QUrl& page) { allowed_ = page; }
    const QUrl& allowed() const { return allowed_; }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

  private:
    QUrl allowed_;
};

// What the page may call: report(name, value), and nothing else.
class PageBridge : public QObject {
    Q_OBJECT
  public:
    using Sink = std::function<void(const QString& name, const QString& value)>;
    explicit PageBridge(Sink sink, QObject* parent) : QObject(parent), sink_(std::move(sink)) {}
    Q_INVOKABLE void report(const QString& name, const QString& value);

  private:
    Sink sink_;
};

std::unique_ptr<ControlWidget> MakeWebPageControl(ViewContext& context,
                                                  qorvdesk::automation::WindowHandle window, int id,
                                                  QWidget* parent);

// The script that calls `method` with `arguments` on the page's window, each argument a JSON
// value (so no text of a record is ever read as script); empty for a method pages do not have.
QString ScriptCallSource(const qorvdesk::automation::PageScriptCall& call);

}  // namespace host
