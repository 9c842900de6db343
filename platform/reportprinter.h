#pragma once
// The printer operations the reports are drawn with. Positions are twips
// (1/1440 inch) from the top left corner of the printable area, y growing
// downwards. The reports never change that coordinate system.
//
// A printer that meets an error (cannot start the document, cannot start a
// page) latches it: every later operation does nothing, Failed() reports it,
// and EndDocument() then discards the document instead of finishing it.

#include <QList>
#include <QString>

class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;

    virtual void SetFontName(const QString& name) = 0;
    virtual void SetFontSize(int points) = 0;
    virtual void SetBoldOff() = 0;
    // The one further setting the print commands give the value 360: the
    // print quality in dots per inch.
    virtual void SetQuality(int value) = 0;

    virtual void SetX(int twips) = 0;
    virtual void SetY(int twips) = 0;
    virtual int X() const = 0;
    virtual int Y() const = 0;

    // Prints text at the print position. Staying on the line moves x to the
    // end of the text; ending the line moves x to 0 and y down by the height
    // of one line in the current font.
    virtual void PrintText(const QString& text, bool endLine) = 0;
    // A whole number with the place of its sign (a blank when not negative)
    // and one trailing blank, staying on the line: 3 prints " 3 ".
    void PrintNumber(int number) { PrintText(NumberText(number), false); }
    static QString NumberText(int number);

    // Starts a new page. A new page followed directly by the end of the
    // document leaves no empty page behind.
    virtual void NewPage() = 0;
    virtual void EndDocument() = 0;

    virtual bool Failed() const = 0;
};

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
