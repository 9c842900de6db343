#pragma once
// A report source whose controls, grids and boxes a test sets directly.

#include "report/reportsource.h"

#include <QHash>
#include <QSet>
#include <QStringList>

class ScriptedSource : public ReportSource {
public:
    int language = 0;
    QString fileName = QStringLiteral("C:\\daten\\TEST.QLV");
    QHash<QString, QString> texts{{"Text1", "5"}, {"Text2", "8"}, {"Text3", "24"}, {"Text4", "123456"}};
    QSet<QString> selected;
    int counts[4] = {0, 0, 0, 0};
    QStringList grids[4];
    QStringList boxes;
    int tab = 0;

    // A grid of rows rows: caption "Head<list>" / "Comment", the capacity
    // line, then records "D<list>.<k>" / "C<list>.<k>". Fewer than three rows
    // leave the list not in use (count 0).
    void SetList(int list, int rows);

    QString Text(int id) const override;
    int LanguageOffset() const override { return language; }
    QString ConfigFileName() const override { return fileName; }
    QString ControlText(const QString& name) const override { return texts.value(name); }
    bool OptionSelected(const QString& name) const override { return selected.contains(name); }
    int ListCount(int list) const override { return counts[list - 1]; }
    int GridRowCount(int grid) const override { return int(grids[grid - 1].size() / 2); }
    QString GridCell(int grid, int index) const override { return grids[grid - 1].value(index); }
    QString DisplayBox(int index) const override { return boxes.value(index); }
    int CurrentTab() const override { return tab; }
};
