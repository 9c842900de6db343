#include "app/ui/interfacedialog.h"

#include "texts/catalogue.h"
#include "platform/ui/twips.h"
#include "config/configfiles.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>


InterfaceDialog::InterfaceDialog(ProgramState& program, QString settingsPath, std::function<void()> reopenPort,
                                 std::function<QString(int)> describePort, QWidget* parent)
    : QDialog(parent), program_(program), settingsPath_(std::move(settingsPath)), reopenPort_(std::move(reopenPort)),
      describePort_(std::move(describePort))
{
    setObjectName(QStringLiteral("Schnittstelle"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    LoadWindowTexts(program_, TextWindow::Interface);
    setWindowTitle(TableText(program_, Text::InterfaceTitle));
    setFixedSize(TwipsSize(5400, 2520));

    static const TextNumber captionIds[] = {Text::Com1, Text::Com2, Text::Com3, Text::Com4,
                                            Text::Com5, Text::Com6, Text::Com7, Text::Com8};
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        auto* button = new QRadioButton(TableText(program_, captionIds[i]), this);
        button->setObjectName(QStringLiteral("Opt1(%1)").arg(i));
        // com1..com4 in the left column, com5..com8 in the right one.
        button->setGeometry(TwipsRect(360 + (i / 4) * 1560, 240 + (i % 4) * 480, 1320, 360));
        group->addButton(button, i);
        connect(button, &QRadioButton::clicked, this, [this, i] { ChoosePort(i); });
        option_[i] = button;
    }
    ok_ = new QPushButton(TableText(program_, Text::InterfaceOk), this);
    ok_->setObjectName(QStringLiteral("Co1"));
    ok_->setGeometry(TwipsRect(3840, 240, 1200, 375));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &InterfaceDialog::Store);

    // Under the options: what the selected com port stands for. It follows
    // the selection, also when a fallback selects another option.
    portLine_ = new QLabel(this);
    portLine_->setObjectName(QStringLiteral("portStandsFor"));
    portLine_->setGeometry(TwipsRect(360, 2100, 4920, 300));
    connect(group, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            ShowPortLine(index);
    });

    // The port in use is selected, and that counts as a click: the port is
    // closed and opened again on the same number.
    if (program_.ChosenPort >= 1 && program_.ChosenPort <= 8) {
        option_[program_.ChosenPort - 1]->setChecked(true);
        ChoosePort(program_.ChosenPort - 1);
    }
}

void InterfaceDialog::ChoosePort(int index)
{
    program_.ChosenPort = static_cast<qint16>(index + 1);
    if (reopenPort_)
        reopenPort_();
    // After a fallback the button of the port actually in use is shown.
    if (program_.ChosenPort >= 1 && program_.ChosenPort <= 8)
        option_[program_.ChosenPort - 1]->setChecked(true);
}

void InterfaceDialog::ShowPortLine(int index)
{
    const QString text = describePort_ ? describePort_(index + 1) : QString();
    // A long device name is cut in its middle, where by-id names differ least.
    portLine_->setText(portLine_->fontMetrics().elidedText(text, Qt::ElideMiddle, portLine_->width()));
    portLine_->setToolTip(text);
}

void InterfaceDialog::Store()
{
    WriteSettings(program_, settingsPath_);
    accept();
}
