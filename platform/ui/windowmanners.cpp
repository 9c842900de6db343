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
    // this filter: it is placed once that is done.
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->parentWidget()) {
        QPointer<QMessageBox> guarded(box);
        QMetaObject::invokeMethod(box, [guarded] {
            if (guarded && guarded->isVisible() && guarded->parentWidget())
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
