#pragma once
// --screenshot DIR: logs in as demo/demo through the login panel's widgets, opens a chat with
// a bot from the contact tree, sends a message with a face, waits for the bot's answer and
// writes a PNG of every shown window into DIR. Answers the program's exit code.

#include <QString>

namespace host {

class HostApp;
int RunScreenshotTour(HostApp& app, const QString& dir);

}  // namespace host
