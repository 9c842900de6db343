#pragma once
// The reasons a file was refused for, laid out for a message by line: the
// reasons of one line together on that line, in line order, the first
// ShownBadLines lines and then how many more. Every reader that names bad
// lines (card lists, site file, directory) shows them alike.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

constexpr int ShownBadLines = 20;

struct LineReason {
    int line = 0;      // 0: the file as a whole, shown before the lines
    QString reason;
};

// A problem's values fit for a message: each as PrintableText shows it (an
// escape sequence in a file must not reach the operator's terminal), and at
// least count of them, so that a text can take %1 .. %count whatever it got.
QStringList PrintableValues(const QStringList& values, qsizetype count);

// lineText(line, the reasons of that line joined with "; ") words one line of
// the message (line 0 is given as 0), moreText(count) the last one when lines
// were left out.
QStringList BadLineTexts(const QList<LineReason>& reasons, const std::function<QString(int, const QString&)>& lineText,
                         const std::function<QString(int)>& moreText);

// The same in English ("line 7: ...", "... and 3 more lines"), one per line,
// for logs and the command line.
QString EnglishBadLines(const QList<LineReason>& reasons);
