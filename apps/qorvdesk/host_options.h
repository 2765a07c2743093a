#pragma once
// What the program's own command line asks for; everything else on it is the client's start
// command line, handed to the library as it is.

#include <QString>
#include <QStringList>

namespace host {

struct HostOptions {
    bool demoWorld = false;    // --demo-world: the embedded server with the demo world
    QString screenshotDir;     // --screenshot DIR: a headless tour that pictures each window
    bool measure = false;      // --measure: print the start-up, load and idle figures
    int demoPeople = 0;        // --demo-people N: the demo world's organisation size
    QString startCommandLine;  // the rest, for the library's start parameters
    QString error;             // why the command line was refused; empty when it was not
};

HostOptions ParseHostOptions(const QStringList& arguments);

}  // namespace host
