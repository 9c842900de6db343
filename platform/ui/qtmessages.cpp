#include "platform/ui/qtmessages.h"

#include "platform/ui/windowmanners.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

// QMessageBox takes Escape and its close button for No when a question has
// no Cancel button. Here they leave the question unanswered instead.
class Question : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool unanswered = false;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            unanswered = true;
            QDialog::reject();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        unanswered = true;
        QDialog::closeEvent(event);
    }
};

} // namespace

Messages::Answer QtMessages::Show(const QString& prompt, const QString& title, Buttons buttons, QWidget* parent)
{
    if (!parent)
        parent = MessageOwner();
    Question box(parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    const int result = box.exec();
    // Escape and the close button: the only button of a message, the
    // cautious answer of the others.
    if (box.unanswered || box.clickedButton() == nullptr)
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    switch (result) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}
