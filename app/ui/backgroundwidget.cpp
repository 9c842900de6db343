#include "app/ui/backgroundwidget.h"

#include <QPainter>

void BackgroundWidget::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}
