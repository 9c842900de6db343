#include "app/ui/flags.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The flags proper are drawn at their usual proportions inside the square
// picture, centred, so that they read as flags and not as coloured blocks.
void HorizontalBands(QPainter& p, const QRectF& r, std::initializer_list<std::pair<QColor, double>> bands)
{
    double total = 0;
    for (const auto& b : bands)
        total += b.second;
    double y = r.top();
    for (const auto& [colour, share] : bands) {
        const double h = r.height() * share / total;
        p.fillRect(QRectF(r.left(), y, r.width(), h), colour);
        y += h;
    }
}

void VerticalBands(QPainter& p, const QRectF& r, std::initializer_list<QColor> bands)
{
    const double w = r.width() / bands.size();
    double x = r.left();
    for (const QColor& c : bands) {
        p.fillRect(QRectF(x, r.top(), w, r.height()), c);
        x += w;
    }
}

void UnitedStates(QPainter& p, const QRectF& r)
{
    const QColor red(178, 34, 52), blue(60, 59, 110);
    p.fillRect(r, Qt::white);
    const double stripe = r.height() / 13.0;
    for (int i = 0; i < 13; i += 2)
        p.fillRect(QRectF(r.left(), r.top() + i * stripe, r.width(), stripe), red);
    const QRectF canton(r.left(), r.top(), r.width() * 0.4, stripe * 7);
    p.fillRect(canton, blue);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 5; ++col)
            p.drawEllipse(QPointF(canton.left() + (col + 0.5) * canton.width() / 5,
                                  canton.top() + (row + 0.5) * canton.height() / 4),
                          0.6, 0.6);
}

void UnitedKingdom(QPainter& p, const QRectF& r)
{
    const QColor blue(1, 33, 105), red(200, 16, 46);
    p.fillRect(r, blue);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(r);
    const double unit = r.height() / 15.0;
    p.setPen(QPen(Qt::white, 3 * unit));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(QPen(red, 1.2 * unit));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF c = r.center();
    p.fillRect(QRectF(r.left(), c.y() - 2.5 * unit, r.width(), 5 * unit), Qt::white);
    p.fillRect(QRectF(c.x() - 2.5 * unit, r.top(), 5 * unit, r.height()), Qt::white);
    p.fillRect(QRectF(r.left(), c.y() - 1.5 * unit, r.width(), 3 * unit), red);
    p.fillRect(QRectF(c.x() - 1.5 * unit, r.top(), 3 * unit, r.height()), red);
    p.setClipping(false);
}

} // namespace

QPixmap FlagPicture(Flag flag)
{
    const bool uk = flag == Flag::UnitedKingdom;
    QPixmap picture(uk ? QSize(25, 15) : QSize(32, 32));
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    // Square pictures hold a 32 × 20 flag (about 3:2), centred.
    const QRectF r = uk ? QRectF(0, 0, 25, 15) : QRectF(0, 6, 32, 20);
    switch (flag) {
    case Flag::Germany:
        HorizontalBands(p, r, {{Qt::black, 1}, {QColor(221, 0, 0), 1}, {QColor(255, 206, 0), 1}});
        break;
    case Flag::France:
        VerticalBands(p, r, {QColor(0, 35, 149), Qt::white, QColor(237, 41, 57)});
        break;
    case Flag::Spain:
        HorizontalBands(p, r, {{QColor(170, 21, 27), 1}, {QColor(241, 191, 0), 2}, {QColor(170, 21, 27), 1}});
        break;
    case Flag::UnitedStates:
        UnitedStates(p, r);
        break;
    case Flag::UnitedKingdom:
        UnitedKingdom(p, r);
        break;
    }
    // A thin grey edge keeps the white parts apart from the window.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(128, 128, 128));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    return picture;
}
