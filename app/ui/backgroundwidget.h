#pragma once
// The main window's client area: a picture drawn from the top-left corner,
// unscaled, or the plain window background when there is none.

#include <QPixmap>
#include <QWidget>

class BackgroundWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void SetPicture(const QPixmap& picture)
    {
        picture_ = picture;
        update();
    }
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
