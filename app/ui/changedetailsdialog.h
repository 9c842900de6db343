#pragma once
// The details of what a write will change: each changed setting with old and
// new value, each card added or removed with its comment, each changed
// display line. Opened from the write panel's summary; information only.

#include "comm/changereport.h"

#include <QDialog>

class QTreeWidget;

class ChangeDetailsDialog : public QDialog {
    Q_OBJECT
public:
    ChangeDetailsDialog(const QList<ChangeLine>& lines, int languageOffset, QWidget* parent = nullptr);
    QTreeWidget* Table() const { return table_; }

private:
    QTreeWidget* table_ = nullptr;
};
