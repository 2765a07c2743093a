#pragma once
// A rich edit of the library shown as a QTextBrowser: each format run with its font, size,
// colour and style, faces and pictures as images, links clickable (sent back as ClickLink).
// A rich edit the library lets the person type into becomes editable at the first click into
// it; typed text goes back whole through TypeText, and Enter is pressed as a key.

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

#include "control_widgets.h"

class QTextDocument;

namespace host {

std::unique_ptr<ControlWidget> MakeRichTextControl(ViewContext& context,
                                                   qorvdesk::automation::WindowHandle window,
                                                   int id, QWidget* parent);

// Renders `text` into `document` (cleared first). Faces come from the face folder of the
// library's application directory when there, else a drawn stand-in.
void RenderRichText(const qorvdesk::automation::RichText& text, QTextDocument& document);

// Keeps a document showing a rich text as it changes. A message view only grows at its end, so
// a new text that keeps the runs and objects shown so far redraws only from the first run that
// differs: a view of a thousand messages takes the next one as fast as the first.
class RichTextRendering {
  public:
    // Shows `text` in `document`, which only this object writes to.
    void Show(const qorvdesk::automation::RichText& text, QTextDocument& document);
    // Whether the last Show drew everything again (for tests).
    bool redrewAll() const { return redrewAll_; }

  private:
    // Draws the runs from `run` on, the objects from `object` on, at the document's end.
    void RenderFrom(std::size_t run, std::size_t object, const qorvdesk::automation::RichText& text,
                    QTextDocument& document);

    std::vector<qorvdesk::automation::RichRun> runs_;
    std::vector<qorvdesk::automation::RichObjectInfo> objects_;  // in position order
    // Where run i began in the document, and how many objects came before it.
    std::vector<int> runStarts_;
    std::vector<std::size_t> objectsBefore_;
    bool redrewAll_ = true;
};

// The picture of face `number`, and the resource name a document knows it by.
QImage FaceImage(int number);
QString FaceResourceName(int number);

}  // namespace host
