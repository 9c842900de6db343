#include "platform/ui/windowmanners.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWindow>

void WindowManners::Install()
{
    auto* app = QCoreApplication::instance();
    app->installEventFilter(new WindowManners(app));
}

bool WindowManners::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (!w->isWindow())
        return false;
    // The platform window exists but is not mapped yet, so the buttons it
    // shows can still change without creating it again.
    QWindow* handle = w->windowHandle();
    if (handle && w->minimumSize() == w->maximumSize() && (handle->flags() & Qt::WindowMaximizeButtonHint
                                                           || !(handle->flags() & Qt::CustomizeWindowHint))) {
        Qt::WindowFlags flags = (handle->flags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if ((flags & Qt::WindowType_Mask) == Qt::Window)
            flags |= Qt::WindowMinimizeButtonHint;
        handle->setFlags(flags);
    }
    // A message box takes its final size in its own show handling, after
    // this filter: it is placed once that is done, and so is a dialog of a
    // fixed size that was not moved (the editor keeps its place). A dialog
    // that can be resized (the toolkit's file dialogs and print preview)
    // keeps the toolkit's placement, which keeps a tall window's title bar
    // on the screen.
    auto* dialog = qobject_cast<QDialog*>(w);
    const bool fixedSize = w->minimumSize() == w->maximumSize();
    if (dialog && dialog->parentWidget()
        && (qobject_cast<QMessageBox*>(w) || (fixedSize && !w->testAttribute(Qt::WA_Moved)))) {
        QPointer<QDialog> guarded(dialog);
        QMetaObject::invokeMethod(dialog, [guarded] {
            if (guarded && guarded->isVisible() && guarded->parentWidget() && guarded->parentWidget()->window()->isVisible())
                CentreOver(guarded, guarded->parentWidget()->window());
        }, Qt::QueuedConnection);
    }
    return false;
}

QWidget* MessageOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    // Without a window manager (or while the program is in the background)
    // no window is active; the message still belongs to the program's window.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<QMainWindow*>(top))
            return top;
    return nullptr;
}

void CentreOver(QWidget* window, const QWidget* over)
{
    const QRect target = over->frameGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter(target.center());
    if (const QScreen* screen = over->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    }
    window->move(frame.topLeft());
}
