#pragma once
// The printer operations the reports are drawn with. Positions are twips
// (1/1440 inch) from the top left corner of the printable area, y growing
// downwards. The reports never change that coordinate system.
//
// A printer that meets an error (cannot start the document, cannot start a
// page) latches it: every later operation does nothing, Failed() reports it,
// and EndDocument() then discards the document instead of finishing it.

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
