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
    virtual Answer Show(const QString& prompt, const QString& title, Buttons buttons = Buttons::Ok,
                        QWidget* parent = nullptr) = 0;
};
