#pragma once
// Works the modal windows a test opens through their real modal loops, as an
// operator does: each step waits until a new modal window is on screen (and
// placed by the window manners), then acts on it with real key and mouse
// events. A modal window that no step is left for is noted and closed, so
// that a test never hangs on it.
//
//     ModalScript script;
//     script.Then([](QWidget& box) { Key(Qt::Key_Escape); });
//     QTest::keyClick(editor, Qt::Key_Escape);   // opens the first window
//     QVERIFY(script.Done());

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

class ModalScript {
public:
    using Step = std::function<void(QWidget& modal)>;

    ModalScript()
    {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start();
    }

    void Then(Step step) { steps_.append(std::move(step)); }
    // Every step ran and no modal window came without one.
    bool Done() const { return steps_.isEmpty() && unexpected_.isEmpty(); }
    QStringList Unexpected() const { return unexpected_; }

    // Keys as the operator types them: to the widget that has the focus.
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(KeyTarget(), Qt::Key(key), modifiers);
    }
    static void Type(const QString& text) { QTest::keyClicks(KeyTarget(), text); }
    // The focus widget. When a closed modal window left no window active, the
    // visible window gets it back, as a window manager gives it.
    static QWidget* KeyTarget()
    {
        if (!QApplication::activeWindow()) {
            QWidget* visible = QApplication::activeModalWidget();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (!visible && top->isVisible() && !(top->windowType() == Qt::Popup || top->windowType() == Qt::ToolTip))
                    visible = top;
            if (visible)
                QApplication::setActiveWindow(visible);
        }
        return QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == handled_) {
            shownFor_ = 0;
            return;
        }
        // A few rounds of the loop: the window takes its place and its focus.
        if (++shownFor_ < 3)
            return;
        shownFor_ = 0;
        handled_ = modal;
        if (modal->window() != QApplication::activeWindow())
            QApplication::setActiveWindow(modal);
        if (steps_.isEmpty()) {
            unexpected_ << modal->objectName() + u' ' + modal->windowTitle();
            modal->close();
            return;
        }
        const Step step = steps_.takeFirst();
        // A step may open a modal window of its own (a click that asks a
        // question): the poll goes on in that window's loop. A timer does not
        // fire again while it is being delivered; a restarted one does.
        poll_.start();
        step(*modal);
    }

    QTimer poll_;
    QList<Step> steps_;
    QStringList unexpected_;
    QPointer<QWidget> handled_;
    int shownFor_ = 0;
};
