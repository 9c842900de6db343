#pragma once
// The program's message boxes: QMessageBox with the caller's prompt, title
// and buttons.

#include "platform/messages.h"

class QtMessages : public Messages {
public:
    Answer Show(const QString& prompt, const QString& title, Buttons buttons = Buttons::Ok,
                QWidget* parent = nullptr) override;
};
