#pragma once
// Answers the next message box that shows, by clicking one of its buttons with the mouse.
// A box runs modally inside the click that raised it, so the answer is set up before that
// click and given as soon as the box is on screen (its Show event), without polling.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

class BoxAnswerer : public QObject {
  public:
    explicit BoxAnswerer(QMessageBox::StandardButton button) : button_(button) {
        qApp->installEventFilter(this);
    }
    ~BoxAnswerer() override { qApp->removeEventFilter(this); }

    bool answered() const { return answered_; }
    const QString& text() const { return text_; }
    const QString& caption() const { return caption_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box == nullptr || event->type() != QEvent::Show || seen_) return false;
        seen_ = true;
        QPointer<QMessageBox> guarded(box);
        QTimer::singleShot(0, this, [this, guarded] {
            if (!guarded) return;
            text_ = guarded->text();
            caption_ = guarded->windowTitle();
            if (QAbstractButton* button = guarded->button(button_)) {
                QTest::mouseClick(button, Qt::LeftButton);
                answered_ = true;
            }
        });
        return false;
    }

  private:
    QMessageBox::StandardButton button_;
    bool seen_ = false;
    bool answered_ = false;
    QString text_;
    QString caption_;
};
