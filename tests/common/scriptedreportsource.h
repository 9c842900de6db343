#pragma once
// A report source whose basic settings, grids and boxes a test sets directly.

#include "texts/catalogue.h"
#include "report/reportsource.h"

#include <QHash>
#include <QSet>
#include <QStringList>

class ScriptedSource : public ReportSource {
public:
    int language = 0;
    // Basic settings by their names: the texts shown, the yes/no settings that show yes.
    QHash<QString, QString> texts{
        {"DoorOpenTime", "5"}, {"Track2Digits", "8"}, {"Track3Digits", "24"}, {"Password", "123456"}};
    QSet<QString> selected;
    QStringList grids[4];
    QStringList boxes;

    // A grid of rows rows: caption "Head<list>" / "Comment", the capacity line, then
    // records "D<list>.<k>" / "C<list>.<k>"; fewer than three: the list is not in use.
    void SetList(int list, int rows)
    {
        QStringList& cells = grids[list - 1];
        cells = {QStringLiteral("Head%1").arg(list), "Comment", QStringLiteral("Anzahl(max)   %1").arg(rows - 2), ""};
        for (int k = 0; k + 2 < rows; ++k)
            cells << QStringLiteral("D%1.%2").arg(list).arg(k) << QStringLiteral("C%1.%2").arg(list).arg(k);
    }

    QString Text(TextNumber id) const override { return CatalogueText(id, language); }
    int LanguageOffset() const override { return language; }
    QString ConfigFileName() const override { return QStringLiteral("C:\\daten\\TEST.QLV"); }
    bool ShowsYes(BasicSetting s) const override { return selected.contains(QLatin1String(SettingEntry(s).name)); }
    QString ShownValue(BasicSetting s) const override { return texts.value(QLatin1String(SettingEntry(s).name)); }
    int ListCount(int list) const override { return qMax(0, GridRowCount(list) - 2); }
    int GridRowCount(int grid) const override { return int(grids[grid - 1].size() / 2); }
    QString GridCell(int grid, int index) const override { return grids[grid - 1].value(index); }
    QString DisplayBox(int index) const override { return boxes.value(index); }
    int CurrentTab() const override { return 0; }
};
