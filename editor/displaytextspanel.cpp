#include "editor/displaytextspanel.h"

#include "texts/catalogue.h"
#include "config/configimage.h"
#include "editor/displayline.h"
#include "editor/focuschange.h"
#include "platform/ui/colours.h"
#include "platform/ui/twips.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

DisplayTextsPanel::DisplayTextsPanel(ProgramState& program, Configuration& m, Messages& messages,
                                     const ModalRunner& showModal, QWidget* parent)
    : QWidget(parent), program_(program), m_(m), messages_(messages), showModal_(showModal)
{
    setObjectName(QStringLiteral("umr3"));
    QFont courier(QStringLiteral("Courier"), 12, QFont::Bold);
    courier.setStyleHint(QFont::TypeWriter);
    static constexpr std::array<int, 4> Tops{240, 1440, 2760, 4080};
    for (int k = 0; k < 8; ++k) {
        auto* frame = new QGroupBox(TableText(program_, Text::DisplayTextFrame) + u' ' + QString::number(k + 1), this);
        frame->setObjectName(QStringLiteral("F1(%1)").arg(k));
        frame->setGeometry(TwipsRect(k < 4 ? 1080 : 4800, Tops[k % 4], 3015, 1095));
        for (int half = 0; half < 2; ++half) {
            const int line = 2 * k + half;
            auto* box = new QLineEdit(frame);
            box->setObjectName(QStringLiteral("b1(%1)").arg(line));
            box->setGeometry(TwipsRect(240, half == 0 ? 270 : 630, 2535, 345));
            box->setFont(courier);
            box->setMaxLength(16);
            box->setReadOnly(true);
            box->setTextMargins(0, 0, 0, 0);
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, QColor(192, 192, 192));
            box->setPalette(palette);
            box->setContextMenuPolicy(Qt::NoContextMenu);
            box->installEventFilter(this);
            lineBoxes_[line] = box;
        }
    }
}

void DisplayTextsPanel::ShowDisplayTexts()
{
    for (int line = 0; line < 16; ++line)
        lineBoxes_[line]->setText(DecodeDisplayLine(m_, line));
}

QLineEdit* DisplayTextsPanel::DisplayLineBox(int line) const
{
    return line >= 0 && line < 16 ? lineBoxes_[line] : nullptr;
}

QString DisplayTextsPanel::DisplayLineText(int line) const
{
    const QLineEdit* box = DisplayLineBox(line);
    return box ? box->text() : QString();
}

void DisplayTextsPanel::SetBoxTextColour(QLineEdit* box, const QString& colourText)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, ColourFromText(colourText, this->palette()));
    box->setPalette(palette);
}

void DisplayTextsPanel::OpenDisplayLine(int index)
{
    QLineEdit* box = DisplayLineBox(index);
    if (!box)
        return;
    m_.DisplayLineIndex = quint16(index);
    {
        DisplayLineDialog dialog(program_, m_, messages_, box, window());
        showModal_(dialog);
    }
    emit Edited();
}

bool DisplayTextsPanel::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    const int line = int(std::find(lineBoxes_.begin(), lineBoxes_.end(), box) - lineBoxes_.begin());
    if (!box || line >= 16)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (OwnFocusChange(event))
            SetBoxTextColour(box, ColourText::Red);
        break;
    case QEvent::FocusOut:
        if (OwnFocusChange(event))
            SetBoxTextColour(box, ColourText::WindowText);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && box->rect().contains(
                static_cast<QMouseEvent*>(event)->position().toPoint())) {
            SetBoxTextColour(box, ColourText::Red);
            OpenDisplayLine(line);
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenDisplayLine(line);
            return true;
        }
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}
