#include "editor/rowedit.h"

#include "texts/catalogue.h"
#include "config/configuration.h"
#include "editor/changecount.h"
#include "platform/messages.h"
#include "platform/ui/twips.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace {
// The nibble characters "0".."?" and "#".
bool DataChar(QChar c)
{
    return c == u'#' || (c.unicode() >= 48 && c.unicode() <= 63);
}
}

RowEditDialog::RowEditDialog(ProgramState& program, Configuration& m, Messages& messages, QWidget* parent)
    : QDialog(parent), program_(program), m_(m), messages_(messages)
{
    setObjectName(QStringLiteral("Datensp"));
    m_.EditConfirmed = 0;
    LoadWindowTexts(program_, TextWindow::RowEdit);
    setWindowTitle(TableText(program_, Text::RowEditTitle));
    setFixedSize(TwipsSize(6300, 3150));

    QFont entryFont(QStringLiteral("MS Sans Serif"), 12, QFont::Bold);
    entryFont.setStyleHint(QFont::SansSerif);

    auto* dataFrame = new QGroupBox(TableText(program_, Text::DataStringFrame), this);
    dataFrame->setObjectName(QStringLiteral("Frame1"));
    dataFrame->setGeometry(TwipsRect(120, 90, 6060, 825));
    data_ = new QLineEdit(dataFrame);
    data_->setObjectName(QStringLiteral("Text1"));
    data_->setGeometry(TwipsRect(120, 300, 5820, 420));
    data_->setFont(entryFont);

    auto* commentFrame = new QGroupBox(TableText(program_, Text::CommentFrame), this);
    commentFrame->setObjectName(QStringLiteral("Frame2"));
    commentFrame->setGeometry(TwipsRect(120, 1005, 6060, 825));
    comment_ = new QLineEdit(commentFrame);
    comment_->setObjectName(QStringLiteral("Text2"));
    comment_->setGeometry(TwipsRect(120, 300, 5820, 420));
    comment_->setFont(entryFont);

    auto* cancel = new QPushButton(TableText(program_, Text::RowEditCancel), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    cancel->setGeometry(TwipsRect(720, 2100, 1800, 555));
    auto* ok = new QPushButton(TableText(program_, Text::RowEditOk), this);
    ok->setObjectName(QStringLiteral("Command2"));
    ok->setGeometry(TwipsRect(3780, 2100, 1800, 555));
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &RowEditDialog::Confirm);

    const QString data = m_.ListData[m_.CurrentRow];
    data_->setText(data);
    length_ = int(data.size());
    data_->setMaxLength(qMax(1, length_));
    // Pasted text obeys the same alphabet as typed keys.
    data_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:;<=>?#]*")), data_));
    data_->setContextMenuPolicy(Qt::NoContextMenu);
    comment_->setText(m_.ListComment[m_.CurrentRow]);
    data_->setCursorPosition(0);
    comment_->setCursorPosition(0);   // a long comment shows its beginning
    data_->installEventFilter(this);
    comment_->installEventFilter(this);
}

bool RowEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // Select all after the line edit's own focus handling, so that typing replaces it.
        QTimer::singleShot(0, box, [box] { box->setSelection(0, int(box->text().size())); });
        box->setSelection(0, int(box->text().size()));
    } else if (event->type() == QEvent::KeyPress && box == data_) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Backspace)
            return true;   // corrections are made by selecting and overtyping
        if (!text.isEmpty() && !(key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                                 || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab
                                 || key->key() == Qt::Key_Backtab)) {
            if (!DataChar(text.at(0)))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RowEditDialog::Confirm()
{
    if (data_->text().size() < length_) {
        messages_.Show(TableText(program_, Text::DataStringTooShort),
                       TableText(program_, Text::DataStringTooShortTitle), Messages::Buttons::Ok, this);
        data_->setFocus();
        return;
    }
    m_.ListComment[m_.CurrentRow] = comment_->text();
    m_.ListData[m_.CurrentRow] = data_->text();
    m_.EditConfirmed = 1;
    RaiseChangeCount(m_);
    accept();
}
