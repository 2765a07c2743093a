#pragma once
// Picks a file in the next file dialog that shows and presses its accept button with the mouse,
// as a person choosing the file in the list does. Like BoxAnswerer, it is set up before the
// click that opens the dialog (which runs modally inside that click) and answers on the
// dialog's Show event.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class FileDialogAnswerer : public QObject {
  public:
    explicit FileDialogAnswerer(QString path) : path_(std::move(path)) {
        qApp->installEventFilter(this);
    }
    ~FileDialogAnswerer() override { qApp->removeEventFilter(this); }

    bool answered() const { return answered_; }
    const QString& title() const { return title_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QFileDialog*>(watched);
        if (dialog == nullptr || event->type() != QEvent::Show || seen_) return false;
        seen_ = true;
        QPointer<QFileDialog> guarded(dialog);
        QTimer::singleShot(0, this, [this, guarded] {
            if (!guarded) return;
            title_ = guarded->windowTitle();
            guarded->selectFile(path_);
            auto* buttons = guarded->findChild<QDialogButtonBox*>();
            QPushButton* accept = nullptr;
            if (buttons != nullptr) {
                accept = buttons->button(QDialogButtonBox::Open);
                if (accept == nullptr) accept = buttons->button(QDialogButtonBox::Save);
            }
            if (accept != nullptr && accept->isEnabled()) {
                QTest::mouseClick(accept, Qt::LeftButton);
                answered_ = true;
            }
        });
        return false;
    }

  private:
    QString path_;
    bool seen_ = false;
    bool answered_ = false;
    QString title_;
};
