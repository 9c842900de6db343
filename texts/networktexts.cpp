#include "texts/networktexts.h"

#include "platform/seriallink.h"
#include "texts/catalogue.h"

#include <QLocale>

QString NetworkFailureLine(const PortFailure& f, int languageOffset)
{
    const auto text = [&](int id) { return CatalogueText(id, languageOffset).arg(f.device, f.detail); };
    switch (f.network) {
    case NetworkProblem::BadAddress:
        return CatalogueText(NetworkText::NotAnAddress, languageOffset).arg(f.device);
    case NetworkProblem::UnknownHost:
        return text(NetworkText::UnknownHost);
    case NetworkProblem::Refused:
        return text(NetworkText::Refused);
    case NetworkProblem::NoAnswer:
        return text(NetworkText::NoAnswer);
    case NetworkProblem::NoNegotiation:
        return text(NetworkText::NoComPortControl);
    case NetworkProblem::OptionRefused:
        return CatalogueText(NetworkText::ComPortRefused, languageOffset).arg(f.device);
    case NetworkProblem::SettingsRefused:
        return text(NetworkText::SettingsRefused);
    case NetworkProblem::ControlRefused:
        return text(NetworkText::ControlNotDriven);
    case NetworkProblem::Closed: {
        // A server that says why it closed (a busy served terminal) is quoted.
        const QString closed = CatalogueText(NetworkText::ClosedBeforeSetUp, languageOffset).arg(f.device);
        return f.detail.isEmpty() ? closed : QStringLiteral("%1: \"%2\"").arg(closed, f.detail);
    }
    case NetworkProblem::Dropped:
        return CatalogueText(NetworkText::ConnectionLost, languageOffset).arg(f.device);
    case NetworkProblem::KeepsDropping:
        return CatalogueText(NetworkText::KeepsDropping, languageOffset).arg(f.device);
    case NetworkProblem::None:
    case NetworkProblem::Other:
        break;
    }
    return f.detail.isEmpty() ? f.device : QStringLiteral("%1: %2").arg(f.device, f.detail);
}

QString ConnectedText(const QString& address, qint64 roundTripUs, int languageOffset)
{
    static const QLocale::Language languages[] = {QLocale::German, QLocale::English, QLocale::French, QLocale::Spanish};
    const int index = languageOffset >= 0 && languageOffset <= 3000 && languageOffset % 1000 == 0 ? languageOffset / 1000 : 0;
    const QString ms = QLocale(languages[index]).toString(double(roundTripUs) / 1000.0, 'f', 2);
    return CatalogueText(NetworkText::Connected, languageOffset).arg(address, ms);
}
