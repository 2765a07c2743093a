#pragma once
// The files the library reads from the application folder, made here on the first start:
// the 80 chat faces (face/<n>.gif), the arrival sounds (sound/welcome.wav, sound/message.wav),
// the program's icon (qorvdesk.svg, qorvdesk.png) and the message manager's page
// (template/msgmgr.html with its script and style). Everything is drawn, synthesised or written
// by this program; nothing comes from elsewhere.

#include <QString>

namespace host {

// Writes every one of those files that is missing below `appDir` (a file that is there is
// left as it is, but for the page, which is replaced when it differs). False when a file could
// not be written.
bool PrepareResources(const QString& appDir);

}  // namespace host
