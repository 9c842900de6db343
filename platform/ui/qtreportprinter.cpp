#include "platform/ui/qtreportprinter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <algorithm>

namespace {
constexpr double TwipsPerInch = 1440.0;
constexpr double TwipsPerPoint = 20.0;

// "arial" is not installed everywhere; Liberation Sans has its metrics.
QStringList FontFamilies(const QString& name)
{
    QStringList families{name};
    if (name.compare(QLatin1String("arial"), Qt::CaseInsensitive) == 0)
        families << QStringLiteral("Liberation Sans") << QStringLiteral("Arimo");
    return families;
}
}

QtReportPrinter::QtReportPrinter(QPrinter& printer) : printer_(printer)
{
    UpdateFont();
}

QtReportPrinter::~QtReportPrinter()
{
    // A document nobody ended is not left half-written.
    if (painter_.isActive() && !ended_) {
        printer_.abort();
        painter_.end();
    }
}

QSizeF QtReportPrinter::PrintableTwips() const
{
    const QRectF inches = printer_.pageLayout().paintRect(QPageLayout::Inch);
    return inches.size() * TwipsPerInch;
}

void QtReportPrinter::UpdateFont()
{
    QFont font;
    font.setFamilies(FontFamilies(family_));
    font.setBold(bold_);
    font.setPixelSize(size_ * int(TwipsPerPoint));   // the page is drawn in twips
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    for (fontIndex_ = 0; fontIndex_ < fonts_.size(); ++fontIndex_)
        if (fonts_[fontIndex_] == font)
            break;
    if (fontIndex_ == fonts_.size())
        fonts_.append(font);
    const QFontMetricsF metrics(font);
    ascent_ = metrics.ascent();
    lineHeight_ = metrics.lineSpacing();
}

void QtReportPrinter::SetFontName(const QString& name)
{
    if (failed_)
        return;
    family_ = name;
    UpdateFont();
}

void QtReportPrinter::SetFontSize(int points)
{
    if (failed_ || points <= 0)
        return;
    size_ = points;
    UpdateFont();
}

void QtReportPrinter::SetBoldOff()
{
    if (failed_)
        return;
    bold_ = false;
    UpdateFont();
}

void QtReportPrinter::SetQuality(int value)
{
    // Only before the first page is drawn: the resolution cannot change
    // within a document.
    if (failed_ || painter_.isActive() || value <= 0)
        return;
    printer_.setResolution(value);
}

void QtReportPrinter::SetX(int twips)
{
    if (!failed_)
        x_ = twips;
}

void QtReportPrinter::SetY(int twips)
{
    if (!failed_)
        y_ = twips;
}

void QtReportPrinter::PrintText(const QString& printed, bool endLine)
{
    if (failed_)
        return;
    // Control codes (a display line may hold 0s) print as blanks, not as
    // the font's missing-glyph boxes.
    QString text = printed;
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    const QFontMetricsF metrics(fonts_[fontIndex_]);
    const double width = metrics.horizontalAdvance(text);
    if (!text.isEmpty())
        page_.append({QPointF(x_, y_ + ascent_), fontIndex_, text, x_ + width, y_ + lineHeight_});
    if (endLine) {
        x_ = 0;
        y_ += lineHeight_;
    } else {
        x_ += width;
    }
}

void QtReportPrinter::DrawPage()
{
    if (failed_)
        return;
    if (!painter_.isActive()) {
        if (!painter_.begin(&printer_)) {
            failed_ = true;
            return;
        }
    } else if (!printer_.newPage()) {
        failed_ = true;
        return;
    }

    double bottom = 0;
    for (const Item& item : page_)
        bottom = std::max(bottom, item.bottom);
    const QSizeF area = PrintableTwips();
    // Too low a printable area: the whole page smaller, the same on every
    // page since every page has its foot at the same place.
    const double scale = bottom > area.height() ? area.height() / bottom : 1.0;
    lastScale_ = scale;
    const double rightEdge = area.width() / scale;   // in the page's twips

    const double devicePerTwip = printer_.resolution() / TwipsPerInch;
    painter_.resetTransform();
    painter_.scale(devicePerTwip * scale, devicePerTwip * scale);
    painter_.setPen(Qt::black);
    int current = -1;
    for (const Item& item : page_) {
        if (item.fontIndex != current) {
            current = item.fontIndex;
            painter_.setFont(fonts_[current]);
        }
        const double width = item.right - item.baseline.x();
        if (item.right <= rightEdge || width <= 0) {
            painter_.drawText(item.baseline, item.text);
            continue;
        }
        // A text running past the right edge is drawn narrower, down to
        // MinimumWidthScale; whatever is still too long is cut at the edge.
        const double squeeze = std::max(MinimumWidthScale, (rightEdge - item.baseline.x()) / width);
        ++squeezedTexts_;
        painter_.save();
        painter_.translate(item.baseline);
        painter_.scale(squeeze, 1.0);
        painter_.drawText(QPointF(0, 0), item.text);
        painter_.restore();
    }
    page_.clear();
    ++pagesDrawn_;
}

void QtReportPrinter::NewPage()
{
    if (failed_)
        return;
    DrawPage();
    x_ = 0;
    y_ = 0;
}

void QtReportPrinter::EndDocument()
{
    if (ended_)
        return;
    // The page begun by a last new page stays away when nothing was printed on it.
    if (!failed_ && (!page_.isEmpty() || pagesDrawn_ == 0))
        DrawPage();
    ended_ = true;
    if (failed_) {
        if (painter_.isActive()) {
            printer_.abort();
            painter_.end();
        }
        return;
    }
    if (!painter_.end())
        failed_ = true;
}

void SetUpPdfPrinter(QPrinter& printer, const QString& pdfPath)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
}
