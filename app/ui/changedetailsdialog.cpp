#include "app/ui/changedetailsdialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ChangeDetailsDialog::ChangeDetailsDialog(const QList<ChangeLine>& lines, int language, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Aenderungen"));
    setWindowTitle(ChangeText(Text::ChangeDetailsTitle, language));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTreeWidget(this);
    table_->setObjectName(QStringLiteral("ChangeTable"));
    table_->setRootIsDecorated(false);
    table_->setHeaderLabels({ChangeText(Text::ChangeWhat, language), ChangeText(Text::ChangeBefore, language),
                             ChangeText(Text::ChangeAfter, language)});
    for (const ChangeLine& line : lines)
        table_->addTopLevelItem(new QTreeWidgetItem(QStringList{line.what, line.before, line.after}));
    table_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table_);
    auto* close = new QPushButton(ChangeText(Text::ChangeDetailsClose, language), this);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(760, 360);
    // The list is what the operator reads first: it has the focus, so the
    // arrow keys scroll it at once.
    table_->setFocus();
    if (table_->topLevelItemCount() > 0)
        table_->setCurrentItem(table_->topLevelItem(0));
}
