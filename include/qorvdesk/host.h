#pragma once
/*
 * What a host program needs around the exports: its two windows in the library's window
 * system, the UI loop, the start command line, and a way to answer message boxes.
 *
 * A host loads the library, creates its frame window and the client window inside it, calls
 * InitWindows(frame, client) and runs the loop on the same thread until it posts quit; at the
 * end it calls FreeWindows. Every window of the client belongs to that thread.
 *
 * The messages the library sends to the frame window (below) reach the host's handler. The
 * conventions of exports.h apply (GBK strings, 32-bit window handles).
 */

#include <stddef.h>
#include <stdint.h>

#include "qorvdesk/exports.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Messages the library sends to the host's frame window ---- */
#define QORV_WM_COMMAND 0x0111
#define QORV_WM_SYSCOMMAND 0x0112
/* wParam: the window to reskin; lParam 1 for a chat window, 0 for the message manager. */
#define QORV_WM_HOST_SKIN 0x0610
/* wParam 0; lParam 0 when a session started, 2 when it ended. */
#define QORV_WM_HOST_SESSION 0x0611
/* lParam: a heap point {int32 x, int32 y} in screen coordinates that the host frees. */
#define QORV_WM_HOST_MENU 0x0612
/* wParam 1: a message waits to be picked; 0: nothing waits any more. */
#define QORV_WM_HOST_TRAY 0x0613
/* The channel tabs changed; the host rebuilds its tab menu. */
#define QORV_WM_HOST_TABS 0x0614
/* lParam: const char* (GBK) window title for the frame, valid during the call. */
#define QORV_WM_HOST_TITLE 0x0615
/* WM_COMMAND id: the connection is gone; the host is expected to call UserLogout(). */
#define QORV_ID_HOST_CONNECTION_LOST 0x800A

/* ---- The host's windows ---- */

/* Receives every message sent or posted to the host's two windows; answers the result. A
 * null handler (the default) lets the library's default handling answer. */
typedef int64_t (*QorvHostHandler)(void* user, QorvWindow window, uint32_t message, uint64_t wParam,
                                   int64_t lParam);
void QorvSetHostHandler(QorvHostHandler handler, void* user) QORV_NOEXCEPT;

/* Creates the frame window (top-level, shown) and the client window (a child of the frame
 * covering its inside). 0 on failure. Call on the thread that will run the loop. */
QorvWindow QorvCreateHostFrame(const char* title, int x, int y, int width,
                               int height) QORV_NOEXCEPT;
QorvWindow QorvCreateHostClient(QorvWindow frame) QORV_NOEXCEPT;

/* ---- The UI loop (the thread that called InitWindows) ---- */

/* Runs until QorvPostQuit; answers its exit code. */
int QorvRunLoop(void) QORV_NOEXCEPT;
/* Handles what is queued now and answers how many messages it handled. */
int QorvPumpMessages(void) QORV_NOEXCEPT;
/* Asks the loop of the calling thread to end with `exitCode`. */
void QorvPostQuit(int exitCode) QORV_NOEXCEPT;

/* ---- Driving the loop from the host's own event loop ----
 * A host with an event loop of its own (Qt, GLib) does not call QorvRunLoop. It watches the
 * descriptor below and calls QorvPumpMessages whenever it turns readable; after every pump it
 * arms one single-shot timer for QorvNextTimerDueMs and pumps again when it fires. Nothing
 * else is needed to keep the library going, so an idle client uses no CPU. */

/* A descriptor (an eventfd) that is readable while the UI thread has work: a posted or sent
 * message, a task from another thread, a change to its timers. QorvPumpMessages clears it.
 * The library owns it; -1 when it cannot be made. Call on the UI thread. */
int QorvLoopDescriptor(void) QORV_NOEXCEPT;
/* Milliseconds until the calling thread's next timer falls due: 0 when one is due now, -1
 * when none runs. */
int64_t QorvNextTimerDueMs(void) QORV_NOEXCEPT;

/* Where the library waits on the UI thread for the user (a modal dialog runs), it asks the
 * host to run its own loop nested until `done(arg)` answers non-zero, so the host's events
 * (painting, input, the descriptor above) go on being handled. The host checks `done` after
 * every pump it makes and when its nested loop wakes. Without a handler the library pumps
 * its own loop. */
typedef void (*QorvNestedLoopHandler)(void* user, int (*done)(void* arg), void* arg);
void QorvSetNestedLoopHandler(QorvNestedLoopHandler handler, void* user) QORV_NOEXCEPT;

/* The library's window system, for a host written in C++ against qorvdesk/automation.h: an
 * `os::WindowSystem*` to build a `qorvdesk::automation::Driver` on, through which the host
 * reads every window and acts on it as a person does. Use it on the UI thread. */
void* QorvInternalWindowSystem(void) QORV_NOEXCEPT;

/* ---- Start parameters and prompts ---- */

/* The command line InitWindows hands to the start-parameter parser. */
void QorvSetStartCommandLine(const char* commandLine) QORV_NOEXCEPT;

/* Answers a message box: IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7 as Windows numbers them.
 * `style` holds the Windows MB_* buttons and icon. Without a handler a box is logged and
 * answered as if closed: OK for an OK box, otherwise Cancel or No. */
typedef int (*QorvMessageBoxHandler)(void* user, const char* caption, const char* text,
                                     unsigned style);
void QorvSetMessageBoxHandler(QorvMessageBoxHandler handler, void* user) QORV_NOEXCEPT;

/* File choosers. `filter` is in the form "label|patterns|label|patterns||" with patterns
 * separated by ';' ("文本文件 (*.txt)|*.txt|所有文件 (*.*)|*.*||"); empty: every file. The
 * handler writes the chosen path (GBK, NUL-terminated) into `path` and answers 1, or answers 0
 * for Cancel. Without a handler a chooser answers Cancel and is logged. */
typedef struct QorvFileRequest {
    QorvWindow owner;
    int save;          /* 1: a save chooser, 0: an open one */
    const char* title; /* empty: the chooser's own */
    const char* filter;
    const char* defaultName;      /* the file name filled in at the start */
    const char* defaultExtension; /* added to a typed name without one ("csv") */
    const char* initialFolder;
} QorvFileRequest;
typedef int (*QorvFileChooserHandler)(void* user, const QorvFileRequest* request, char* path,
                                      size_t capacity);
void QorvSetFileChooserHandler(QorvFileChooserHandler handler, void* user) QORV_NOEXCEPT;

/* The font dialog: `choice` holds the font to start from; the handler changes it to the one
 * chosen and answers 1, or answers 0 for Cancel. */
typedef struct QorvFontChoice {
    char faceName[64]; /* GBK, NUL-terminated */
    int heightTwips;   /* 1/20 point */
    int bold, italic, underline, strikeOut;
    uint32_t color; /* COLORREF 0x00BBGGRR */
} QorvFontChoice;
typedef int (*QorvFontHandler)(void* user, QorvWindow owner, QorvFontChoice* choice);
void QorvSetFontHandler(QorvFontHandler handler, void* user) QORV_NOEXCEPT;

/* Input prompts: the handler writes the text typed (GBK, at most `maxBytes` bytes when that
 * is not 0) into `text` and answers 1, or answers 0 for Cancel. */
typedef struct QorvInputRequest {
    QorvWindow owner;
    const char* caption;
    const char* prompt; /* the question above the box */
    const char* initialValue;
    size_t maxBytes;
    int password;
} QorvInputRequest;
typedef int (*QorvInputHandler)(void* user, const QorvInputRequest* request, char* text,
                                size_t capacity);
void QorvSetInputHandler(QorvInputHandler handler, void* user) QORV_NOEXCEPT;

/* Pop-up tips (a message arrived while no window shows it, a contact came online, new mail):
 * `title` is who or what it is about, `text` the line to show. The host shows them its way
 * (a desktop notification); they are logged with or without a handler. The handler is
 * called on the UI thread (a tip raised on another thread goes through the frame's queue). */
typedef void (*QorvNoticeHandler)(void* user, const char* title, const char* text);
void QorvSetNoticeHandler(QorvNoticeHandler handler, void* user) QORV_NOEXCEPT;

/* The desktop's idle time, for the rule that shows an idle user as away: the handler answers
 * the milliseconds since the user's last keyboard or mouse input anywhere on the desktop, or
 * -1 when it cannot tell (an unknown idle time never changes the presence). Called on the UI
 * thread, every 30 s while the user is logged in. Without a handler the user never counts
 * as idle. */
typedef int64_t (*QorvIdleTimeHandler)(void* user);
void QorvSetIdleTimeHandler(QorvIdleTimeHandler handler, void* user) QORV_NOEXCEPT;

/* ---- The embedded server (the default session engine) ---- */

/* Adds an account the client can log in to; `nickname` may be null. 1 on success, 0 when the
 * account exists already or the text is not usable. */
int QorvEmbeddedAddAccount(const char* account, const char* password,
                           const char* nickname) QORV_NOEXCEPT;

/* The library's session engine, for tools and tests written in C++ against the library's own
 * headers: a `platform::SessionCore*` (src/platform/session/session_core.h) through which
 * they may drive the engine directly, for example log in without the login panel. Use only
 * its virtual methods, from the UI thread. */
void* QorvInternalSessionCore(void) QORV_NOEXCEPT;

/* Loads the demo world into the embedded server: the account "demo" (password "demo") with
 * buddies in groups whose presence changes now and then, bots that answer a chat, and an
 * organisation of a few hundred people. Call it from the UI thread (the thread that calls
 * InitWindows), before the login; the world runs on that thread's loop. 1 on success (also
 * when it is loaded already: it loads once), 0 on failure. */
int QorvEmbeddedLoadDemoWorld(void) QORV_NOEXCEPT;

/* The same with an organisation of about `people` people (at least the few hundred of the
 * plain world), every unit grown in proportion: for trying the client at an organisation's
 * real size. */
int QorvEmbeddedLoadDemoWorldOfSize(int people) QORV_NOEXCEPT;

#ifdef __cplusplus
}
#endif
