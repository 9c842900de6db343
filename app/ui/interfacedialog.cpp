#include "app/ui/interfacedialog.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "texts/networktexts.h"
#include "platform/messages.h"
#include "platform/ui/twips.h"
#include "config/configfiles.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>


InterfaceDialog::InterfaceDialog(ProgramState& program, QString settingsPath, std::function<void()> reopenPort,
                                 std::function<QString(int)> describePort, Messages& messages, QWidget* parent)
    : QDialog(parent), program_(program), settingsPath_(std::move(settingsPath)), reopenPort_(std::move(reopenPort)),
      describePort_(std::move(describePort)), messages_(messages)
{
    setObjectName(QStringLiteral("Schnittstelle"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    LoadWindowTexts(program_, TextWindow::Interface);
    setWindowTitle(TableText(program_, Text::InterfaceTitle));
    // Below the options and the port line: the network address.
    setFixedSize(TwipsSize(5400, 3660));

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

    addressCaption_ = new QLabel(CatalogueText(Text::NetworkAddressCaption, program_.LanguageOffset), this);
    addressCaption_->setObjectName(QStringLiteral("networkAddressCaption"));
    addressCaption_->setGeometry(TwipsRect(360, 2400, 4920, 300));
    address_ = new QComboBox(this);
    address_->setObjectName(QStringLiteral("networkAddress"));
    address_->setEditable(true);
    address_->setInsertPolicy(QComboBox::NoInsert);
    address_->setGeometry(TwipsRect(360, 2700, 4680, 345));
    addressCaption_->setBuddy(address_);
    addressProblem_ = new QLabel(this);
    addressProblem_->setObjectName(QStringLiteral("networkAddressProblem"));
    addressProblem_->setGeometry(TwipsRect(360, 3060, 4920, 480));
    addressProblem_->setWordWrap(true);
    addressProblem_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The addresses the map names already, to choose from.
    QStringList known;
    for (const QString& target : program_.Ports.Entries())
        if (PortMap::TargetFromText(target).kind == PortTarget::Kind::Network && !known.contains(target.trimmed()))
            known << target.trimmed();
    known.sort();
    address_->addItems(known);
    address_->setCurrentIndex(-1);
    connect(address_, &QComboBox::activated, this, [this] { TakeAddress(); });
    // Enter in the field takes the address and stays in the dialog (it
    // would otherwise press OK).
    address_->lineEdit()->installEventFilter(this);

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
    // A long device name is cut in its middle, where by-id names differ
    // least; a network address comes whole, and what follows it is cut.
    const bool network = program_.Ports.Resolve(index + 1).kind == PortTarget::Kind::Network;
    portLine_->setText(portLine_->fontMetrics().elidedText(text, network ? Qt::ElideRight : Qt::ElideMiddle,
                                                           portLine_->width()));
    portLine_->setToolTip(text);
    address_->setEditText(AddressOf(index + 1));
    addressProblem_->clear();
}

QString InterfaceDialog::AddressOf(int port) const
{
    const PortTarget target = program_.Ports.Resolve(port);
    return target.kind == PortTarget::Kind::Network ? target.address : QString();
}

bool InterfaceDialog::TakeAddress()
{
    const int port = program_.ChosenPort;
    if (port < 1 || port > 8)
        return true;   // no port selected: nothing to name
    const QString text = address_->currentText().trimmed();
    if (text == AddressOf(port))
        return true;
    if (text.isEmpty()) {
        // Taken off the network: com N is the system's own port again.
        program_.Ports.Remove(port);
    } else if (!NetworkAddress::Parse(text)) {
        addressProblem_->setText(CatalogueText(Text::NetworkNotAnAddress, program_.LanguageOffset).arg(PrintableText(text)));
        return false;
    } else {
        program_.Ports.Set(port, text);
    }
    assigned_.insert(port, text);
    ChoosePort(port - 1);
    ShowPortLine(program_.ChosenPort - 1);
    return true;
}

bool InterfaceDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == address_->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TakeAddress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void InterfaceDialog::Store()
{
    // What the field holds is taken as Enter would; what is no address
    // keeps the dialog open, saying so.
    if (!TakeAddress())
        return;
    WriteSettings(program_, settingsPath_);
    const QString mapPath = PortMapPathFor(settingsPath_);
    for (auto it = assigned_.constBegin(); it != assigned_.constEnd(); ++it) {
        if (const FileStatus stored = StorePortMapEntry(mapPath, it.key(), it.value()); !stored) {
            messages_.Show(FileStatusText(stored, program_.LanguageOffset), windowTitle(), Messages::Buttons::Ok, this);
            break;
        }
    }
    accept();
}
