#include "editor/displayline.h"

#include "texts/catalogue.h"
#include "config/configimage.h"
#include "editor/changecount.h"
#include "platform/fileaccess.h"
#include "platform/messages.h"
#include "platform/ui/colours.h"
#include "platform/ui/twips.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int LineLength = 16;

// Characters of a line that the terminal's files cannot hold, each named
// once, whole (a character beyond 16 bits too), control characters escaped.
QString UnstorableCharacters(const QString& line)
{
    QStringList named;
    for (qsizetype i = 0; i < line.size(); ++i) {
        QString character(line.at(i));
        if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate())
            character += line.at(++i);
        const char16_t c = character.at(0).unicode();
        const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
        const bool noCode = character.size() > 1 || (EncodeDisplayChar(character.at(0)) == '?' && c != u'?');
        const QString name = PrintableText(character);
        if ((control || noCode) && !named.contains(name))
            named << name;
    }
    return named.join(u' ');
}
} // namespace

DisplayLineDialog::DisplayLineDialog(ProgramState& program, Configuration& m, Messages& messages, QLineEdit* lineBox,
                                     QWidget* parent)
    : QDialog(parent), program_(program), m_(m), messages_(messages), lineBox_(lineBox)
{
    setObjectName(QStringLiteral("displayeingabe"));
    LoadWindowTexts(program_, TextWindow::DisplayLine);
    setWindowTitle(TableText(program_, Text::DisplayLineTitle));
    setFixedSize(TwipsSize(4200, 1800));

    entry_ = new QLineEdit(this);
    entry_->setObjectName(QStringLiteral("Text1"));
    QFont courier(QStringLiteral("Courier"), 12, QFont::Bold);
    courier.setStyleHint(QFont::TypeWriter);
    entry_->setFont(courier);
    entry_->setGeometry(TwipsRect(300, 240, 3600, 450));
    entry_->setMaxLength(LineLength);   // what the display line holds
    if (lineBox_)
        entry_->setText(lineBox_->text());
    entry_->installEventFilter(this);

    auto* cancel = new QPushButton(TableText(program_, Text::DisplayLineCancel), this);
    cancel->setObjectName(QStringLiteral("Co1"));
    cancel->setGeometry(TwipsRect(300, 960, 1560, 495));
    auto* ok = new QPushButton(TableText(program_, Text::DisplayLineOk), this);
    ok->setObjectName(QStringLiteral("Co2"));
    ok->setGeometry(TwipsRect(2340, 960, 1560, 495));
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &DisplayLineDialog::Store);
}

bool DisplayLineDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == entry_ && event->type() == QEvent::FocusIn) {
        // The dialog's first focus arrives as a window activation; a later
        // activation (the operator coming back from another window) keeps
        // what has been typed so far.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool returning = focusedBefore_
                               && (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
        if (!returning && lineBox_) {
            entry_->setText(lineBox_->text());
            entry_->setSelection(0, LineLength);
        }
        focusedBefore_ = true;
    }
    return QDialog::eventFilter(watched, event);
}

void DisplayLineDialog::Store()
{
    if (const QString refused = UnstorableCharacters(entry_->text()); !refused.isEmpty()) {
        messages_.Show(CatalogueText(Text::DisplayLineUnstorable, program_.LanguageOffset).arg(refused),
                       TableText(program_, Text::EditorCautionTitle), Messages::Buttons::Ok, this);
        entry_->setFocus();
        return;
    }
    QString line = entry_->text().left(LineLength);
    while (line.size() < LineLength)
        line += u' ';
    entry_->setText(line);
    if (lineBox_)
        lineBox_->setText(line);
    const int index = qBound(0, int(m_.DisplayLineIndex), 15);
    EncodeDisplayLine(m_, index, line);
    RaiseChangeCount(m_);
    accept();
}

void DisplayLineDialog::done(int result)
{
    // Undoes the red the editor gave the box when it opened the dialog.
    if (lineBox_) {
        QPalette palette = lineBox_->palette();
        palette.setColor(QPalette::Text, ColourFromText(ColourText::DarkGreen));
        lineBox_->setPalette(palette);
    }
    QDialog::done(result);
}
