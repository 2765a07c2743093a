// The host's side of the library (qorvdesk/host.h): its windows, the UI loop, the start
// command line, message boxes and the embedded server's accounts.
#include "host_api/c_strings.h"
#include "host_api/library.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"
#include "platform/session/sim_server.h"
#include "qorvdesk/host.h"

extern "C" {

void QorvSetHostHandler(QorvHostHandler handler, void* user) {
    if (theLibrary != nullptr) theLibrary->hostWindows->SetHandler(handler, user);
}

QorvWindow QorvCreateHostFrame(const char* title, int x, int y, int width, int height) {
    if (theLibrary == nullptr) return 0;
    return theLibrary->hostWindows->CreateFrame(title, os::Rect::FromSize(x, y, width, height))
        .value();
}

QorvWindow QorvCreateHostClient(QorvWindow frame) {
    if (theLibrary == nullptr) return 0;
    return theLibrary->hostWindows->CreateClient(os::HWND(frame)).value();
}

int QorvRunLoop(void) { return theLibrary != nullptr ? theLibrary->world->windows().Run() : 0; }

int QorvPumpMessages(void) {
    return theLibrary != nullptr ? theLibrary->world->windows().PumpPending() : 0;
}

void QorvPostQuit(int exitCode) {
    if (theLibrary != nullptr) theLibrary->world->windows().PostQuitMessage(exitCode);
}

void QorvSetStartCommandLine(const char* commandLine) {
    if (theLibrary != nullptr) {
        theLibrary->world->context().startCommandLine = std::string(InText(commandLine));
    }
}

void QorvSetMessageBoxHandler(QorvMessageBoxHandler handler, void* user) {
    if (theLibrary != nullptr) theLibrary->prompter->SetHandler(handler, user);
}

int QorvEmbeddedAddAccount(const char* account, const char* password, const char* nickname) {
    if (theLibrary == nullptr || InText(account).empty()) return 0;
    platform::SimServer& server = theLibrary->world->server();
    platform::SimAccount entry;
    entry.loginName = std::string(InText(account));
    entry.password = std::string(InText(password));
    entry.nickname = std::string(InText(nickname));
    entry.jid = platform::Jid::Government(entry.loginName, server.HostName()).text();
    if (server.HasAccount(entry.jid)) return 0;
    server.AddAccount(std::move(entry));
    return 1;
}

void* QorvInternalSessionCore(void) {
    if (theLibrary == nullptr) return nullptr;
    return static_cast<platform::SessionCore*>(&theLibrary->world->context().session);
}

}  // extern "C"
