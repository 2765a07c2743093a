#include "host_api/browser_web_service.h"

#include "core/client_context.h"
#include "os/services/log.h"
#include "os/services/shell.h"

BrowserWebService::BrowserWebService(core::ClientContext& context)
    : context_(context), poster_(context.shell, context.folders.commonDir) {}

void BrowserWebService::OpenFormInBrowser(const std::string& url, const std::string& formBody) {
    if (formBody.empty()) {
        // A plain address: only what a browser shows, never a local file or a program.
        std::string address = web::FormAction(url);
        // An ftp address passes the same checks as a web one would.
        if (address.empty() && url.starts_with("ftp://") &&
            !web::FormAction("http://" + url.substr(6)).empty()) {
            address = url;
        }
        if (address.empty()) {
            context_.log.WriteLog2(2, "不打开链接(不是网页地址): " + url);
            return;
        }
        context_.shell.ShellExecute("open", address);
        return;
    }
    switch (poster_.Post(url, formBody)) {
        case web::PostOutcome::Opened:
            return;
        case web::PostOutcome::RefusedTarget:
            context_.log.WriteLog2(2, "不提交表单(不是网页地址): " + url);
            return;
        case web::PostOutcome::WriteFailed:
            context_.log.WriteLog2(1, "无法写入表单页面: " + url);
            return;
        case web::PostOutcome::NotStarted:
            context_.log.WriteLog2(1, "无法打开浏览器提交表单: " + url);
            return;
    }
}
