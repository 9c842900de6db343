#pragma once
// The reports' printer on a QPrinter (a paper printer or a PDF file).
//
// Each page is collected and drawn when it is complete. A page whose text
// would reach beyond the printable area (the foot at y 15500 does not fit on
// a short paper or under wide margins; a very long accompanying text may run
// past the right edge) is drawn scaled down as a whole, keeping its top left
// corner, so that it stays complete and in proportion. Sideways the scale
// goes no lower than MinimumWidthScale, so one endless comment cannot shrink
// a page into illegibility; text beyond that is cut at the paper's edge.

#include "platform/reportprinter.h"

#include <QFont>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

class QPrinter;

class QtReportPrinter : public ReportPrinter {
public:
    static constexpr double MinimumWidthScale = 0.5;

    explicit QtReportPrinter(QPrinter& printer);
    ~QtReportPrinter() override;

    void SetFontName(const QString& name) override;
    void SetFontSize(int points) override;
    void SetBoldOff() override;
    void SetQuality(int value) override;
    void SetX(int twips) override;
    void SetY(int twips) override;
    int X() const override { return qRound(x_); }
    int Y() const override { return qRound(y_); }
    void PrintText(const QString& text, bool endLine) override;
    void NewPage() override;
    void EndDocument() override;
    bool Failed() const override { return failed_; }

    // Pages drawn so far, and the scale the last one was drawn with.
    int PagesDrawn() const { return pagesDrawn_; }
    double LastPageScale() const { return lastScale_; }
    // The printable area in twips.
    QSizeF PrintableTwips() const;

private:
    struct Item {
        QPointF baseline;   // twips
        int fontIndex;
        QString text;
        double right;       // twips
        double bottom;
    };
    void UpdateFont();
    void DrawPage();

    QPrinter& printer_;
    QPainter painter_;
    QString family_ = QStringLiteral("arial");
    int size_ = 10;
    bool bold_ = false;
    QList<QFont> fonts_;    // every font used on the current page
    int fontIndex_ = -1;
    double ascent_ = 0;
    double lineHeight_ = 0;
    double x_ = 0;
    double y_ = 0;
    QList<Item> page_;
    int pagesDrawn_ = 0;
    double lastScale_ = 1.0;
    bool failed_ = false;
    bool ended_ = false;
};

// A PDF printer on A4 for the given file.
void SetUpPdfPrinter(QPrinter& printer, const QString& pdfPath);
