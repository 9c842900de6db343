#pragma once
// A report printer that prints nothing and remembers everything.

#include "platform/reportprinter.h"

#include <QList>
#include <QString>

// Records every text with its page, position and size, for tests. Line
// heights and text widths follow Liberation Sans closely enough for the
// layout rules (1.15 of the size; half the size per character), so that the
// recorder needs no font machinery.
class RecordingReportPrinter : public ReportPrinter {
public:
    struct Item {
        int page = 1;
        int x = 0;
        int y = 0;
        int size = 0;      // points
        QString text;
        QString font;
        bool bold = false;
    };
    QList<Item> items;
    QList<int> qualities;       // every SetQuality value, in order
    int pagesStarted = 1;       // pages begun so far (the first one included)
    bool ended = false;
    bool discarded = false;     // EndDocument after a failure
    int failAtPage = 0;         // starting this page number fails (0: never)
    bool failAtStart = false;   // the very first operation fails

    static int LineHeight(int points) { return points * 23; }   // 20 twips per point x 1.15
    static int TextWidth(const QString& text, int points) { return int(text.size()) * points * 10; }

    void SetFontName(const QString& name) override;
    void SetFontSize(int points) override;
    void SetBoldOff() override;
    void SetQuality(int value) override;
    void SetX(int twips) override;
    void SetY(int twips) override;
    int X() const override { return x_; }
    int Y() const override { return y_; }
    void PrintText(const QString& text, bool endLine) override;
    void NewPage() override;
    void EndDocument() override;
    bool Failed() const override { return failed_; }

    // Pages of the finished document (a trailing page with nothing on it does not count).
    int PageCount() const;
    // Items of one page, in printing order.
    QList<Item> PageItems(int page) const;
    // The texts printed on one page at one y, joined in x order.
    QString LineAt(int page, int y) const;
    // Ys of the items of a page whose text is exactly text.
    QList<int> YsOf(int page, const QString& text) const;

private:
    bool Check();
    QString font_;
    int size_ = 10;
    bool bold_ = false;
    int x_ = 0;
    int y_ = 0;
    bool failed_ = false;
    bool started_ = false;
};
