#pragma once
// Works the modal windows a test opens through their real modal loops, as an
// operator does: each step waits until a new modal window is on screen (and
// placed by the window manners), then acts on it with real key and mouse
// events, sent to the widget that has the focus. A modal window that no step
// is left for, or that its step left open, is noted and closed, so that a
// test never hangs on it.
//
//     ModalScript script;
//     script.Then<QMessageBox>([](QMessageBox& box) { ModalScript::Key(Qt::Key_Escape); });
//     QTest::keyClick(editor, Qt::Key_Escape);   // opens the first window
//     VERIFY_MODALS_DONE(script);
//
// A window that does not come fails the test: VERIFY_MODALS_DONE waits for
// it a while first, and a script left unchecked fails the test as it goes.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

// Fails the test function unless every step of the script ran and no modal
// window came without one.
#define VERIFY_MODALS_DONE(script) QVERIFY2((script).Done(), qPrintable((script).Failure()))

class ModalScript {
public:
    using Step = std::function<void(QWidget& modal)>;
    // How long a window still expected is waited for; only a failing test waits it out.
    static constexpr int WaitMs = 5000;

    ModalScript()
    {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start();
    }
    explicit ModalScript(Step first) : ModalScript() { Then(std::move(first)); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;
    ~ModalScript()
    {
        if (!checked_ && !QTest::currentTestFailed() && !Done())
            QTest::qFail(qPrintable(Failure()), __FILE__, __LINE__);
    }

    // Acts on the next modal window.
    ModalScript& Then(Step step)
    {
        steps_.append(std::move(step));
        return *this;
    }
    // Acts on the next modal window, which must be a Window (a QMessageBox,
    // a QFileDialog, ...); another kind is noted as unexpected and closed.
    template <class Window, class Action> ModalScript& Then(Action action)
    {
        return Then(Step([this, action = std::move(action)](QWidget& modal) {
            if (auto* window = qobject_cast<Window*>(&modal)) {
                action(*window);
                return;
            }
            unexpected_ << Describe(modal) + QStringLiteral(" instead of a ") + QLatin1String(Window::staticMetaObject.className());
            Dismiss(modal);
        }));
    }

    // Waits up to waitMs for the windows still expected (a window may open
    // from a queued call after the command that asked for it returned), then
    // says whether every step ran and no modal window came without one.
    [[nodiscard]] bool Done(int waitMs = WaitMs)
    {
        checked_ = true;
        if (!steps_.isEmpty())
            (void)QTest::qWaitFor([this] { return steps_.isEmpty(); }, waitMs);
        return steps_.isEmpty() && unexpected_.isEmpty();
    }
    // What went wrong, for the failure message.
    QString Failure() const
    {
        QStringList parts;
        if (!steps_.isEmpty())
            parts << QStringLiteral("%1 modal window(s) expected did not open").arg(steps_.size());
        if (!unexpected_.isEmpty())
            parts << QStringLiteral("unexpected: ") + unexpected_.join(QStringLiteral(" | "));
        return parts.join(QStringLiteral("; "));
    }

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
    static QString Describe(const QWidget& modal) { return modal.objectName() + u' ' + modal.windowTitle(); }

    // Closes a window the script is done with; a dialog is rejected, since a
    // message box without an escape button ignores close().
    static void Dismiss(QWidget& modal)
    {
        if (auto* dialog = qobject_cast<QDialog*>(&modal))
            dialog->reject();
        else
            modal.close();
    }

    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            shownFor_ = heldFor_ = 0;
            return;
        }
        if (atWork_.contains(modal)) {
            // Its step is still at work in it (and polls us from a loop of
            // its own, or after a window of its own has closed): neither a
            // window left open nor a new one.
            shownFor_ = heldFor_ = 0;
            return;
        }
        if (modal == handled_) {
            // A window its step left open is closed after the wait: the test
            // goes on and fails instead of hanging in its modal loop.
            shownFor_ = 0;
            if (++heldFor_ >= WaitMs / poll_.interval()) {
                heldFor_ = 0;
                unexpected_ << Describe(*modal) + QStringLiteral(" still open after its step");
                Dismiss(*modal);
            }
            return;
        }
        heldFor_ = 0;
        // A few rounds of the loop: the window takes its place and its focus.
        if (++shownFor_ < 3)
            return;
        shownFor_ = 0;
        handled_ = modal;
        if (modal->window() != QApplication::activeWindow())
            QApplication::setActiveWindow(modal);
        if (steps_.isEmpty()) {
            unexpected_ << Describe(*modal);
            Dismiss(*modal);
            return;
        }
        const Step step = steps_.takeFirst();
        // A step may open a modal window of its own (a click that asks a
        // question): the poll goes on in that window's loop. A timer does not
        // fire again while it is being delivered; a restarted one does.
        // Steps nest: the windows whose steps are at work form a stack.
        poll_.start();
        const QPointer<QWidget> window = modal;
        atWork_.append(window);
        step(*modal);
        atWork_.removeLast();
        handled_ = window;
    }

    QTimer poll_;
    QList<Step> steps_;
    QStringList unexpected_;
    QPointer<QWidget> handled_;
    int shownFor_ = 0;
    int heldFor_ = 0;
    bool checked_ = false;
    QList<QPointer<QWidget>> atWork_;   // the windows whose steps run, outermost first
};
