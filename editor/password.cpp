#include "editor/password.h"

#include "texts/catalogue.h"
#include "config/configimage.h"
#include "platform/messages.h"
#include "platform/ui/twips.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int MinimumLength = 6;
constexpr int DigitsMaxLength = 6;
constexpr int FreeMaxLength = 8;
}

PasswordDialog::PasswordDialog(ProgramState& program, Messages& messages, const std::function<void()>& opening,
                               QWidget* parent)
    : QDialog(parent), program_(program), messages_(messages)
{
    setObjectName(QStringLiteral("Passwort"));
    LoadWindowTexts(program_, TextWindow::Password);
    setWindowTitle(TableText(program_, Text::PasswordTitle));
    // It opens centred over the window that asks (main window or editor).
    setFixedSize(TwipsSize(3665, 2175));

    auto* frame = new QGroupBox(TableText(program_, Text::PasswordDigitsFrame), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    frame->setGeometry(TwipsRect(240, 120, 3180, 840));
    entry_ = new QLineEdit(frame);
    entry_->setObjectName(QStringLiteral("Text1"));
    entry_->setGeometry(TwipsRect(240, 330, 2700, 375));
    entry_->setMaxLength(DigitsMaxLength);
    // Pasting would bypass the key rules below.
    entry_->setContextMenuPolicy(Qt::NoContextMenu);
    entry_->installEventFilter(this);

    auto* ok = new QPushButton(TableText(program_, Text::PasswordOk), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setGeometry(TwipsRect(240, 1140, 1440, 495));
    ok->setDefault(true);
    auto* cancel = new QPushButton(TableText(program_, Text::PasswordCancel), this);
    cancel->setObjectName(QStringLiteral("abbrechen"));
    cancel->setGeometry(TwipsRect(1980, 1140, 1440, 495));
    connect(ok, &QPushButton::clicked, this, &PasswordDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (opening)
        opening();
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != entry_ || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const bool enterOrNavigation = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                                   || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab
                                   || key->key() == Qt::Key_Backtab;
    if (key->key() == Qt::Key_Backspace || text.isEmpty() || enterOrNavigation)
        return QDialog::eventFilter(watched, event);
    if (entryMode_ == DigitsMode) {
        const QChar c = text.at(0);
        if (c == u'X' && entry_->text().size() <= 1) {
            entryMode_ = FreeEntryMode;
            entry_->setMaxLength(FreeMaxLength);
        }
        if (text.size() != 1 || c < u'0' || c > u'9')
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PasswordDialog::Confirm()
{
    const QString entry = entry_->text();
    if (entry.size() < MinimumLength) {
        messages_.Show(TableText(program_, Text::PasswordTooShort), TableText(program_, Text::PasswordTooShortTitle),
                       Messages::Buttons::Ok, this);
        entry_->setFocus();
        return;
    }
    result_ = {1, PackTerminalPassword(entry, FreeMode())};
    accept();
}
