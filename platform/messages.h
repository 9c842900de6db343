#pragma once
// Modal message boxes. The program shows them through this seam so that tests
// can answer them from a script.

#include <QString>

class QWidget;

class Messages {
public:
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };
    virtual ~Messages() = default;
    // prompt and title are the composed texts (usually TextTable entries).
    // A Yes/No question that the operator escapes or closes is answered
    // Cancel: neither Yes nor No, so that Escape can never stand for a No
    // that throws work away.
    virtual Answer Show(const QString& prompt, const QString& title, Buttons buttons = Buttons::Ok,
                        QWidget* parent = nullptr) = 0;
};

// Messages for a session that runs without any window (the command line, a
// site's terminals): every message is noted and answered at once, a question
// with No (no editor opens).
class AnsweringMessages : public Messages {
public:
    QString last;   // the prompt of the last message
    Answer Show(const QString& prompt, const QString&, Buttons buttons, QWidget*) override
    {
        last = prompt;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
};
