#include "texts/networktexts.h"

#include "platform/seriallink.h"
#include "texts/catalogue.h"
#include "texts/textids.h"

#include <QLocale>

QString NetworkFailureLine(const PortFailure& f, int languageOffset)
{
    const auto text = [&](TextNumber id) { return CatalogueText(id, languageOffset).arg(f.device, f.detail); };
    switch (f.network) {
    case NetworkProblem::BadAddress:
        return CatalogueText(Text::NetworkNotAnAddress, languageOffset).arg(f.device);
    case NetworkProblem::UnknownHost:
        return text(Text::NetworkUnknownHost);
    case NetworkProblem::Refused:
        return text(Text::NetworkRefused);
    case NetworkProblem::NoAnswer:
        return text(Text::NetworkNoAnswer);
    case NetworkProblem::NoNegotiation:
        return text(Text::NetworkNoComPortControl);
    case NetworkProblem::OptionRefused:
        return CatalogueText(Text::NetworkComPortRefused, languageOffset).arg(f.device);
    case NetworkProblem::SettingsRefused:
        return text(Text::NetworkSettingsRefused);
    case NetworkProblem::ControlRefused:
        return text(Text::NetworkControlNotDriven);
    case NetworkProblem::Closed: {
        // A server that says why it closed (a busy served terminal) is quoted.
        const QString closed = CatalogueText(Text::NetworkClosedBeforeSetUp, languageOffset).arg(f.device);
        return f.detail.isEmpty() ? closed : QStringLiteral("%1: \"%2\"").arg(closed, f.detail);
    }
    case NetworkProblem::Dropped:
        return CatalogueText(Text::NetworkConnectionLost, languageOffset).arg(f.device);
    case NetworkProblem::KeepsDropping:
        return CatalogueText(Text::NetworkKeepsDropping, languageOffset).arg(f.device);
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
    return CatalogueText(Text::NetworkConnected, languageOffset).arg(address, ms);
}
