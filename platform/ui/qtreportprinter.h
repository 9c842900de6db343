#pragma once
// The reports' printer on a QPrinter (a paper printer or a PDF file).
//
// Each page is collected and drawn when it is complete, so that nothing of
// the report is lost off the printable area:
// - a page whose text reaches below the printable area (the foot at y 15500
//   does not fit on a short paper or under wide margins) is drawn smaller as
//   a whole, keeping its top left corner and its proportions;
// - a single text running past the right edge (a very long accompanying
//   text) is drawn narrower until it fits, down to MinimumWidthScale of its
//   width; what is still too long after that is cut at the paper's edge.

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

    // Pages drawn so far, the scale the last one was drawn with, and the
    // texts drawn narrower to fit the width.
    int PagesDrawn() const { return pagesDrawn_; }
    double LastPageScale() const { return lastScale_; }
    int SqueezedTexts() const { return squeezedTexts_; }
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
    int squeezedTexts_ = 0;
    bool failed_ = false;
    bool ended_ = false;
};

// A PDF printer on A4 for the given file.
void SetUpPdfPrinter(QPrinter& printer, const QString& pdfPath);
