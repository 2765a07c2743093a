#pragma once
// The interactive prompter: the library's message boxes, file choosers, font dialog and
// input prompts as Qt dialogs, modal over the window that is active. Each answers as the
// library's C handlers expect (host.h).

#include <cstddef>
#include <string>

#include "qorvdesk/host.h"

class QWidget;

namespace host {

class Prompts {
  public:
    // MB_* style: buttons, icon and default button, as the library passes them.
    int MessageBox(const char* caption, const char* text, unsigned style);
    // Writes the chosen path into `path` (GBK); 1 when chosen, 0 for Cancel.
    int ChooseFile(const QorvFileRequest& request, char* path, std::size_t capacity);
    int ChooseFont(QorvFontChoice& choice);
    int Input(const QorvInputRequest& request, char* text, std::size_t capacity);

  private:
    static QWidget* DialogParent();
};

// The filter of a file request ("label|patterns|...||") in Qt's form ("label (patterns);;...").
std::string QtFileFilter(const std::string& libraryFilter);

}  // namespace host
