#pragma once
// A rich edit of the library shown as a QTextBrowser: each format run with its font, size,
// colour and style, faces and pictures as images, links clickable (sent back as ClickLink).
// A rich edit the library lets the person type into becomes editable at the first click into
// it; typed text goes back whole through TypeText, and Enter is pressed as a key.

#include <QImage>
#include <QString>
#include <memory>

#include "control_widgets.h"

class QTextDocument;

namespace host {

std::unique_ptr<ControlWidget> MakeRichTextControl(ViewContext& context,
                                                   qorvdesk::automation::WindowHandle window,
                                                   int id, QWidget* parent);

// Renders `text` into `document` (cleared first). Faces come from the face folder of the
// library's application directory when there, else a drawn stand-in.
void RenderRichText(const qorvdesk::automation::RichText& text, QTextDocument& document);

// The picture of face `number`, and the resource name a document knows it by.
QImage FaceImage(int number);
QString FaceResourceName(int number);

}  // namespace host
