#include "editor/listsearch.h"

#include "texts/catalogue.h"
#include "config/cardlists.h"
#include "editor/listgrids.h"
#include "platform/ui/twips.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

namespace {

constexpr int FieldWidthTwips = 3600;

// The tab control sizes its corner widget by the size hint.
class FindField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    QSize sizeHint() const override { return {TwipsToPixels(FieldWidthTwips), QLineEdit::sizeHint().height()}; }
};

} // namespace

ListSearch::ListSearch(const ProgramState& program, const Configuration& m, QTabWidget* tabs, ListGrids& grids,
                       QMenu* menu)
    : QObject(tabs), m_(m), tabs_(tabs), grids_(grids)
{
    const auto text = [&program](TextNumber id) { return CatalogueText(id, program.LanguageOffset); };
    field_ = new FindField(tabs);
    field_->setObjectName(QStringLiteral("FindText"));
    field_->setPlaceholderText(text(Text::FindPlaceholder));
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    // "not found" inside the field, at its right end, in the field's own colours.
    notFound_ = new QLabel(text(Text::NotFound), field_);
    notFound_->setObjectName(QStringLiteral("FindNotFound"));
    notFound_->setAttribute(Qt::WA_TransparentForMouseEvents);
    notFound_->setStyleSheet(QStringLiteral("color: #c00000"));
    notFound_->hide();
    tabs->setCornerWidget(field_, Qt::TopRightCorner);
    field_->hide();
    connect(field_, &QLineEdit::textEdited, this, [this] {
        hitRow_ = -1;
        Find(-1, true);
    });

    const auto add = [&](const char* name, TextNumber textId, const QKeySequence& keys, void (ListSearch::*command)()) {
        QAction* action = menu->addAction(text(textId));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, command);
    };
    add("mnusuchen", Text::FindItem, QKeySequence(Qt::CTRL | Qt::Key_F), &ListSearch::Open);
    add("mnuweiter", Text::FindNextItem, QKeySequence(Qt::Key_F3), &ListSearch::FindNext);
    add("mnuzurueck", Text::FindPreviousItem, QKeySequence(Qt::SHIFT | Qt::Key_F3), &ListSearch::FindPrevious);
}

void ListSearch::Open()
{
    // The tab control places its corner widget when it is set; a field shown
    // later is set again.
    tabs_->setCornerWidget(field_, Qt::TopRightCorner);
    field_->show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void ListSearch::FindNext()
{
    if (!field_->isVisible() || field_->text().trimmed().isEmpty()) {
        Open();
        return;
    }
    Find(hitRow_, true);
}

void ListSearch::FindPrevious()
{
    if (!field_->isVisible() || field_->text().trimmed().isEmpty()) {
        Open();
        return;
    }
    Find(hitRow_, false);
}

void ListSearch::Close()
{
    ShowNotFound(false);
    field_->hide();
    tabs_->setFocus();
}

bool ListSearch::NotFoundShown() const
{
    return notFound_->isVisible();
}

void ListSearch::Find(int fromRow, bool forward)
{
    if (field_->text().trimmed().isEmpty()) {
        ShowNotFound(false);
        return;
    }
    const std::optional<int> row = FindCardRow(m_, field_->text(), fromRow,
                                               forward ? SearchDirection::Forward : SearchDirection::Backward);
    ShowNotFound(!row);
    if (!row)
        return;
    hitRow_ = *row;
    for (const ListRows& rows : ShownListRows(m_)) {
        if (hitRow_ < rows.firstRow || hitRow_ >= rows.firstRow + rows.count)
            continue;
        tabs_->setCurrentIndex(rows.list <= 2 ? 1 : 2);
        grids_.ShowRow(rows.list, hitRow_ - rows.firstRow);
    }
}

void ListSearch::ShowNotFound(bool notFound)
{
    if (notFound) {
        const int width = notFound_->sizeHint().width();
        notFound_->setGeometry(field_->width() - width - 24, 0, width, field_->height());
        field_->setTextMargins(0, 0, width + 24, 0);
    } else {
        field_->setTextMargins(0, 0, 0, 0);
    }
    notFound_->setVisible(notFound);
}

bool ListSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Escape and Enter belong to the field: neither closes the editor.
        if (key == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FindNext();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
