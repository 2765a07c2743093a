#pragma once
// The files the library reads from the application folder, made here on the first start:
// the 80 chat faces (face/<n>.gif), the arrival sounds (sound/welcome.wav, sound/message.wav)
// and the program's icon (qorvdesk.svg, qorvdesk.png). Everything is drawn or synthesised by
// this program; nothing comes from elsewhere.

#include <QString>

namespace host {

// Writes every one of those files that is missing below `appDir` (a file that is there is
// left as it is). False when a file could not be written.
bool PrepareResources(const QString& appDir);

}  // namespace host
