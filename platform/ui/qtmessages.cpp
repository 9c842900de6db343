#include "platform/ui/qtmessages.h"

#include "platform/ui/windowmanners.h"

#include <QApplication>
#include <QMessageBox>

Messages::Answer QtMessages::Show(const QString& prompt, const QString& title, Buttons buttons, QWidget* parent)
{
    if (!parent)
        parent = MessageOwner();
    QMessageBox box(parent);
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
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
        // Closing the box with the window's close button counts as the
        // cautious answer.
        if (box.clickedButton() == nullptr)
            return buttons == Buttons::Ok ? Answer::Ok : buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        return Answer::Ok;
    }
}
