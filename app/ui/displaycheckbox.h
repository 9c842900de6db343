#pragma once
// A check box that shows progress only: a click or a key leaves its state as
// it was; the program ticks and clears it.

#include <QCheckBox>

class DisplayCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};
