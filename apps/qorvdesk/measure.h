#pragma once
// --measure: the program's figures, printed one per line: start to the login panel on
// screen, the login press to the main panel with its trees, CPU used by the idle client over
// 10 s, and memory with 20 chat windows open. Driven by the same widget events as a person.

#include <QElapsedTimer>

namespace host {

class HostApp;
// `sinceStart` runs from the start of main().
int RunMeasurements(HostApp& app, const QElapsedTimer& sinceStart);

}  // namespace host
