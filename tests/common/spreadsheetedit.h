#pragma once
// What an operator does to an exported card list in a spreadsheet, for the
// round-trip tests of the demonstration configuration: the first two cards of
// list 1 swapped, a new comment for the second card of list 2, a card
// appended to list 3, and the file saved with semicolons and CR LF.

#include "config/configuration.h"

#include <QByteArray>

QByteArray SpreadsheetEdit(const QByteArray& exported);
// The same changes made to the decoded lists and the image of m: what an
// import of the edited file must give.
void ApplySpreadsheetEdit(Configuration& m);
