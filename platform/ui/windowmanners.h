#pragma once
// How every window of the program behaves on screen, whichever part of the
// program builds it:
//  - a window that cannot be resized shows no maximise button;
//  - a message box appears centred over the window it belongs to, and so
//    does a dialog of a fixed size that has a parent and no place of its own.
// Installed once on the application (the program's start-up and the tests).

#include <QObject>

class WindowManners : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Installs a filter owned by the application.
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class QWidget;
// The window a message without a named parent belongs to: the open modal
// dialog, else the active window, else the program's visible main window.
QWidget* MessageOwner();
// Centres a window over another (both in screen coordinates, frames
// included), kept on the other's screen.
void CentreOver(QWidget* window, const QWidget* over);
