#pragma once
// A label for a file path: shows the whole path when it fits and elides the
// middle otherwise, so that the folder's start and the file name stay
// visible. text() is always the whole path.

#include <QLabel>
#include <QPainter>

class PathLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
};
