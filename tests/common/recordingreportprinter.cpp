#include "common/recordingreportprinter.h"

#include <algorithm>

bool RecordingReportPrinter::Check()
{
    if (!started_) {
        started_ = true;
        if (failAtStart)
            failed_ = true;
    }
    return !failed_;
}

void RecordingReportPrinter::SetFontName(const QString& name)
{
    if (Check())
        font_ = name;
}

void RecordingReportPrinter::SetFontSize(int points)
{
    if (Check())
        size_ = points;
}

void RecordingReportPrinter::SetBoldOff()
{
    if (Check())
        bold_ = false;
}

void RecordingReportPrinter::SetQuality(int value)
{
    if (Check())
        qualities.append(value);
}

void RecordingReportPrinter::SetX(int twips)
{
    if (Check())
        x_ = twips;
}

void RecordingReportPrinter::SetY(int twips)
{
    if (Check())
        y_ = twips;
}

void RecordingReportPrinter::PrintText(const QString& text, bool endLine)
{
    if (!Check())
        return;
    items.append({pagesStarted, x_, y_, size_, text, font_, bold_});
    if (endLine) {
        x_ = 0;
        y_ += LineHeight(size_);
    } else {
        x_ += TextWidth(text, size_);
    }
}

void RecordingReportPrinter::NewPage()
{
    if (!Check())
        return;
    if (failAtPage == pagesStarted + 1) {
        failed_ = true;
        return;
    }
    ++pagesStarted;
    x_ = 0;
    y_ = 0;
}

void RecordingReportPrinter::EndDocument()
{
    if (failed_)
        discarded = true;
    else
        ended = true;
}

int RecordingReportPrinter::PageCount() const
{
    int last = 0;
    for (const Item& item : items)
        last = std::max(last, item.page);
    return last;
}

QList<RecordingReportPrinter::Item> RecordingReportPrinter::PageItems(int page) const
{
    QList<Item> result;
    for (const Item& item : items)
        if (item.page == page)
            result.append(item);
    return result;
}

QString RecordingReportPrinter::LineAt(int page, int y) const
{
    QList<Item> line;
    for (const Item& item : items)
        if (item.page == page && item.y == y)
            line.append(item);
    std::stable_sort(line.begin(), line.end(), [](const Item& a, const Item& b) { return a.x < b.x; });
    QString text;
    for (const Item& item : line)
        text += item.text;
    return text;
}

QList<int> RecordingReportPrinter::YsOf(int page, const QString& text) const
{
    QList<int> ys;
    for (const Item& item : items)
        if (item.page == page && item.text == text)
            ys.append(item.y);
    return ys;
}
