#include "common/democonfig.h"

#include "config/configfiles.h"
#include "config/configimage.h"

namespace {

struct Card {
    const char* data;
    const char* comment;
};

// Track 2: eight digits (personnel and visitor numbers).
const Card Privileges2[] = {
    {"10000417", "Müller, Jürgen – Lager"},
    {"10000418", "Schäfer, Anna – Einkauf"},
    {"10000422", "Weiß, Günther – Geschäftsführung"},
    {"10000435", "Köhler, Sabine – Empfang"},
    {"10000451", "Braun, Thomas – Werkstatt"},
    {"10000463", "Öztürk, Ayla – Buchhaltung"},
    {"10000470", "Fuchs, Peter – Hausmeister"},
    {"10000488", "Zimmermann, Lena – IT"},
    {"10000502", "Groß, Bärbel – Reinigung (Frühschicht)"},
    {"10000519", "Hoffmann, Dieter – Versand"},
    {"20000001", "Besucherkarte 1 (Pforte)"},
    {"20000002", "Besucherkarte 2 (Pforte)"},
};
// Track 3/1: twelve digits (bank-style service cards).
const Card Privileges3[] = {
    {"672000104711", "Servicetechniker Fa. Kälte-Nord"},
    {"672000104712", "Servicetechniker Fa. Kälte-Nord, Ersatz"},
    {"672000230055", "Wachdienst Süd, Streife 1"},
    {"672000230056", "Wachdienst Süd, Streife 2"},
    {"672000230057", "Wachdienst Süd, Schichtleiter"},
    {"672000340020", "Feuerwehr – Generalschlüsselkarte"},
    {"672000451100", "Aufzugswartung Größer & Söhne"},
    {"672000451101", "Aufzugswartung Größer & Söhne, 2. Karte"},
    {"672000560001", "Gebäudereinigung Blütenweiß"},
};
// Block list track 2: lost and withdrawn cards.
const Card Blocked2[] = {
    {"10000399", "verloren 03/2024 – Krämer, Uwe"},
    {"10000402", "ausgeschieden – Vogel, Heike"},
    {"10000444", "gestohlen, Anzeige erstattet"},
    {"20000007", "Besucherkarte 7 nicht zurückgegeben"},
    {"10000455", "Karte defekt, ersetzt durch 10000519"},
};
// Block list track 3/1.
const Card Blocked3[] = {
    {"672000104700", "alte Servicekarte Kälte-Nord"},
    {"672000230050", "Wachdienst Süd, Vertrag beendet"},
    {"672000999999", "Testkarte – nie freigeben"},
};

// Display texts: eight pairs of 16-character lines.
const char* const DisplayTexts[16] = {
    "  Willkommen!   ", " Karte einlesen ",
    " Zutritt frei   ", " Tür öffnet ... ",
    " Karte gesperrt ", " Bitte Pforte   ",
    " Karte ungültig ", " erneut lesen   ",
    " Störung        ", " Tür bleibt zu  ",
    " Außer Betrieb  ", " Wartung läuft  ",
    " Guten Morgen   ", " schönen Tag!   ",
    " Bitte warten   ", " Prüfung läuft  ",
};

void FillList(Configuration& m, int list, int firstRow, const Card* cards, int count)
{
    for (int k = 0; k < count; ++k) {
        const int row = firstRow + k;
        m.ListData[row] = QString::fromLatin1(cards[k].data);
        EncodeRowData(m, row);
        m.ListComment[row] = QString::fromUtf8(cards[k].comment);
    }
    Q_UNUSED(list);
}

} // namespace

void BuildDemoConfiguration(Configuration& m)
{
    m.ConfigImage.fill(0);
    m.ConfigImage[Slot::DoorOpenTime] = 5;
    m.ConfigImage[Slot::FeatureFlags] = Feature::BuzzerWithOpener | Feature::MagCardSignal | Feature::ChipCardSignal
        | Feature::MagCardEvaluation | Feature::DataOnDisplay | Feature::BlockListsOn;
    m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2 | Track::EvaluateTrack3;
    EncodeDataLength(m, TrackNo::Track2, 8);
    EncodeDataLength(m, TrackNo::Track3, 12);
    const auto packed = PackPasswordDigits(DemoPassword);
    for (int i = 0; i < 3; ++i)
        m.ConfigImage[Slot::PasswordBcd + i] = (*packed)[i];
    for (int line = 0; line < 16; ++line)
        EncodeDisplayLine(m, line, QString::fromUtf8(DisplayTexts[line]));

    // Lays out all four lists (all records zero), resets every comment and
    // numbers the rows; the cards then go into the first rows of each list.
    LayOutLists(m);
    int first = 0;
    FillList(m, 1, first, Privileges2, int(std::size(Privileges2)));
    first += m.ListCount1;
    FillList(m, 2, first, Privileges3, int(std::size(Privileges3)));
    first += m.ListCount2;
    FillList(m, 3, first, Blocked2, int(std::size(Blocked2)));
    first += m.ListCount3;
    FillList(m, 4, first, Blocked3, int(std::size(Blocked3)));
}
