#include "editor/editorwindow.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "editor/basicsettingspanel.h"
#include "editor/cardlistfiles.h"
#include "editor/displaytextspanel.h"
#include "editor/listgrids.h"
#include "editor/listsearch.h"
#include "editor/shownpath.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/twips.h"
#include "editor/editorreportsource.h"

#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

EditorWindow::EditorWindow(ProgramState& program, Configuration& m, Messages& messages, FileDialogs& fileDialogs,
                           QWidget* parent)
    : QDialog(parent), program_(program), m_(m), messages_(messages), fileDialogs_(fileDialogs)
{
    setObjectName(QStringLiteral("vardelodatei"));
    LoadWindowTexts(program_, TextWindow::Editor);
    setWindowTitle(TableText(program_, Text::EditorTitle));
    BuildWindow();
    previousObserver_ = m_.RowsObserver;
    m_.RowsObserver = grids_;

    const FileStatus read = ReadConfigurationFile(m_, m_.CurrentConfigFile);
    if (!read) {
        messages_.Show(CatalogueText(Text::FileRefused, program_.LanguageOffset) + PrintableText(m_.CurrentConfigFile),
                       TableText(program_, Text::EditorCautionTitle), Messages::Buttons::Ok, parent);
        return;
    }
    // Comments that cannot be read (a FIFO, a folder, too large) or are
    // damaged are not taken; the configuration opens with empty ones and the
    // operator is told, also that a save keeps the file in history/.
    if (const FileStatus comments = LoadComments(m_, m_.CurrentConfigFile); !comments)
        messages_.Show(DamagedCommentsText(comments, program_.LanguageOffset, QFileInfo(comments.path).isFile()),
                       TableText(program_, Text::EditorCautionTitle), Messages::Buttons::Ok, parent);
    loaded_ = true;
    ShowFileName(m_.CurrentConfigFile);
    statusLine_->showMessage(ShownPath(m_.CurrentConfigFile));

    printAction_->setText(TableText(program_, Text::OpeningPrintItem));
    move(TwipsPoint(0, 300));
    m_.ChangeCount = -1;
    ShowSettings();
    ShowDisplayTexts();
    DecodeLists(m_);
    ShowChangeMark();
    // The window opens with the tab control focused, not inside a box whose
    // focus would warn or commit.
    tabs_->setFocus();
}

EditorWindow::~EditorWindow()
{
    if (m_.RowsObserver == grids_)
        m_.RowsObserver = previousObserver_;
}

int EditorWindow::exec()
{
    if (!loaded_)
        return QDialog::Rejected;
    return QDialog::exec();
}

// ---------------------------------------------------------------- building

void EditorWindow::BuildWindow()
{
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    BuildMenu();
    // Below the window's own area a status line says what the file commands did.
    statusLine_ = new QStatusBar(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusLine_->setSizeGripEnabled(false);
    const QSize own = TwipsSize(12000, 8200);
    const int statusHeight = statusLine_->sizeHint().height();
    statusLine_->setGeometry(0, own.height(), own.width(), statusHeight);
    setFixedSize(own.width(), own.height() + statusHeight);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("ST1"));
    tabs_->setGeometry(TwipsRect(100, 500, 11700, 7450));
    std::array<QWidget*, 4> pages{};
    for (int tab = 0; tab < 4; ++tab) {
        pages[tab] = new QWidget;
        tabs_->addTab(pages[tab], TableText(program_, Text::BasicSettingsTab + tab));
    }
    basic_ = new BasicSettingsPanel(program_, m_, messages_, ShowModal, tabs_, pages[0]);
    containers_[0] = basic_;
    for (int tab : {1, 2}) {
        containers_[tab] = new QWidget(pages[tab]);
        containers_[tab]->setObjectName(QStringLiteral("umr%1").arg(tab));
    }
    grids_ = new ListGrids(program_, m_, messages_, ShowModal, containers_[1], containers_[2], this);
    displayTexts_ = new DisplayTextsPanel(program_, m_, messages_, ShowModal, pages[3]);
    containers_[3] = displayTexts_;
    for (QWidget* container : containers_)
        container->setGeometry(TwipsRect(0, 0, 11640, 7000));
    search_ = new ListSearch(program_, m_, tabs_, *grids_, searchMenu_);
    cardListFiles_ = std::make_unique<CardListFiles>(program_, m_, messages_, fileDialogs_, this,
                                                     [this](const QString& done) { statusLine_->showMessage(done); });
    connect(basic_, &BasicSettingsPanel::Edited, this, &EditorWindow::ShowChangeMark);
    connect(basic_, &BasicSettingsPanel::PasswordDialogOpening, this, &EditorWindow::PasswordDialogOpening);
    connect(grids_, &ListGrids::Edited, this, &EditorWindow::ShowChangeMark);
    connect(displayTexts_, &DisplayTextsPanel::Edited, this, &EditorWindow::ShowChangeMark);
    tabs_->setCurrentIndex(0);
    connect(tabs_, &QTabWidget::currentChanged, this, &EditorWindow::SelectTab);
}

void EditorWindow::BuildMenu()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menubar"));
    fileMenu_ = bar->addMenu(TableText(program_, Text::EditorFileMenu));
    fileMenu_->setObjectName(QStringLiteral("mnudatei"));
    fileMenu_->menuAction()->setObjectName(QStringLiteral("mnudatei"));
    auto add = [this](const char* name, TextNumber textId) {
        // Texts beyond the table's range come from the catalogue itself.
        const QString text =
            textId <= LastTextId ? TableText(program_, textId) : CatalogueText(textId, program_.LanguageOffset);
        QAction* action = fileMenu_->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(add("mnuspeich", Text::SaveItem), &QAction::triggered, this, [this] { SaveConfiguration(); });
    connect(add("mnuspeichals", Text::SaveAsItem), &QAction::triggered, this, [this] { SaveConfigurationAs(); });
    fileMenu_->addSeparator();
    connect(add("mnuexport", Text::ExportItem), &QAction::triggered, this, [this] {
        CommitPendingEntry();
        cardListFiles_->Export();
    });
    connect(add("mnuimport", Text::ImportItem), &QAction::triggered, this, [this] {
        CommitPendingEntry();
        cardListFiles_->Import();
        ShowChangeMark();
    });
    fileMenu_->addSeparator();
    printAction_ = add("mnudruck", Text::PrintItem);
    connect(printAction_, &QAction::triggered, this, [this] { PrintCurrentSection(); });
    QAction* preview = add("mnuvorschau", Text::PrintPreviewItem);
    connect(preview, &QAction::triggered, this, &EditorWindow::PreviewCurrentSection);
    printAllAction_ = add("mnualldruck", Text::PrintAllItem);
    connect(printAllAction_, &QAction::triggered, this, [this] { PrintAll(); });
    connect(add("mnubeend", Text::EditorExitItem), &QAction::triggered, this, &EditorWindow::reject);
    // A number box in edit stores its value before any menu command runs.
    connect(fileMenu_, &QMenu::aboutToShow, this, [this] {
        CommitPendingEntry();
        tabs_->setFocus();
    });
    searchMenu_ = bar->addMenu(CatalogueText(Text::SearchMenu, program_.LanguageOffset));
    searchMenu_->setObjectName(QStringLiteral("mnusuche"));
    searchMenu_->menuAction()->setObjectName(QStringLiteral("mnusuche"));
    connect(searchMenu_, &QMenu::aboutToShow, this, [this] { CommitPendingEntry(); });
    bar->setGeometry(0, 0, TwipsToPixels(12000), bar->sizeHint().height());
}

void EditorWindow::SelectTab(int tab)
{
    if (tab < 0 || tab > 3)
        return;
    printAction_->setText(TableText(program_, Text::PrintBasicSettingsItem + tab));
    for (int i = 0; i < 4; ++i)
        containers_[i]->setEnabled(i == tab);
}

int EditorWindow::CurrentTab() const
{
    return tabs_->currentIndex();
}

// ---------------------------------------------------------------- the parts

void EditorWindow::ShowSettings()
{
    basic_->ShowSettings();
}

void EditorWindow::ShowDisplayTexts()
{
    displayTexts_->ShowDisplayTexts();
}

void EditorWindow::PressYesNo(int index, bool yes)
{
    basic_->PressYesNo(index, yes);
}

void EditorWindow::PressBlockLists(bool on)
{
    basic_->PressBlockLists(on);
}

void EditorWindow::PressTrack(int button)
{
    basic_->PressTrack(button);
}

void EditorWindow::CommitPendingEntry()
{
    basic_->CommitPendingEntry();
}

void EditorWindow::OpenPasswordDialog()
{
    basic_->OpenPasswordDialog();
}

void EditorWindow::OpenRow(int list)
{
    grids_->OpenRow(list);
}

void EditorWindow::OpenDisplayLine(int index)
{
    displayTexts_->OpenDisplayLine(index);
}

GridWidget* EditorWindow::ListGrid(int list) const
{
    return grids_->GridOf(list);
}

const ListGridSource& EditorWindow::Grids() const
{
    return *grids_;
}

const BasicSettingsPanel& EditorWindow::BasicSettings() const
{
    return *basic_;
}

QLineEdit* EditorWindow::DisplayLineBox(int line) const
{
    return displayTexts_->DisplayLineBox(line);
}

QString EditorWindow::DisplayLineText(int line) const
{
    return displayTexts_->DisplayLineText(line);
}

// ---------------------------------------------------------------- files

void EditorWindow::ShowFileName(const QString& fileName)
{
    // The same form after a read, a load and a save as: the file's name,
    // marked while edits are unsaved.
    const QString name = QFileInfo(fileName).fileName();
    const QString shown = name.isEmpty() ? TableText(program_, Text::EditorTitle) : PrintableText(name);
    setWindowTitle(shown + QStringLiteral("[*]"));
}

void EditorWindow::ShowChangeMark()
{
    setWindowModified(m_.ChangeCount > 0);
}

void EditorWindow::ReportSaved(const QString& fileName)
{
    ShowChangeMark();
    statusLine_->showMessage(CatalogueText(Text::Saved, program_.LanguageOffset)
                                 .arg(ShownPath(fileName), QString::number(ExportedCardCount(m_))));
}

void EditorWindow::ReportSaveFailure(const FileStatus& status, const QString& fileName)
{
    if (status.diskFull)
        messages_.Show(TableText(program_, Text::DiskFull), TableText(program_, Text::SaveFailedTitle),
                       Messages::Buttons::Ok, this);
    else
        messages_.Show(CatalogueText(Text::SaveFailed, program_.LanguageOffset) + PrintableText(fileName),
                       TableText(program_, Text::SaveFailedTitle), Messages::Buttons::Ok, this);
}

bool EditorWindow::SaveConfiguration()
{
    CommitPendingEntry();
    if (const PairCommit saved = SaveConfigurationPair(m_, m_.CurrentConfigFile); !saved) {
        ReportSaveFailure(saved.status, saved.failedFile);
        return false;
    }
    m_.ChangeCount = 0;
    ReportSaved(m_.CurrentConfigFile);
    return true;
}

bool EditorWindow::SaveConfigurationAs()
{
    CommitPendingEntry();
    FileDialogRequest request;
    request.proposedName = TableText(program_, Text::SaveAsFileName);
    request.filter = TableText(program_, Text::SaveAsFilter);
    request.title = TableText(program_, Text::SaveAsTitle);
    request.initialDirectory = program_.StartDirectory;
    const std::optional<QString> chosen = fileDialogs_.Save(request, this);
    if (!chosen || chosen->isEmpty())
        return false;
    // A name Load would refuse gets the extension, so that the configuration
    // opens again and its comments file is named after it.
    const QString name = IsConfigFileName(*chosen) ? *chosen : *chosen + QStringLiteral(".QLV");
    if (QFile::exists(name)) {
        const QString question =
            TableText(program_, Text::OverwriteQuestionStart) + name + TableText(program_, Text::OverwriteQuestionEnd);
        const auto answer = messages_.Show(question, TableText(program_, Text::EditorCautionTitle),
                                           Messages::Buttons::YesNo, this);
        if (answer != Messages::Answer::Yes)
            return false;
    }
    if (const PairCommit saved = SaveConfigurationPair(m_, name); !saved) {
        ReportSaveFailure(saved.status, saved.failedFile);
        return false;
    }
    ShowFileName(name);
    m_.ChangeCount = 0;
    ReportSaved(name);
    return true;
}

bool EditorWindow::AskToSave()
{
    if (m_.ChangeCount <= 0)
        return true;
    const auto answer =
        messages_.Show(TableText(program_, Text::AskToSave), TableText(program_, Text::AskToSaveTitle),
                       Messages::Buttons::YesNo, this);
    if (answer == Messages::Answer::Yes)
        return SaveConfiguration();
    // Only No closes without saving: a question escaped or closed returns to
    // the editor with the edits.
    return answer == Messages::Answer::No;
}

void EditorWindow::reject()
{
    CommitPendingEntry();
    if (!AskToSave())
        return;
    QDialog::reject();
}

// ---------------------------------------------------------------- printing

void EditorWindow::PrintCurrentSection()
{
    CommitPendingEntry();
    RunEditorPrintCommand(program_, m_, *this, *basic_, *grids_, fileDialogs_, false);
}

void EditorWindow::PrintAll()
{
    CommitPendingEntry();
    RunEditorPrintCommand(program_, m_, *this, *basic_, *grids_, fileDialogs_, true);
}

void EditorWindow::PreviewCurrentSection()
{
    CommitPendingEntry();
    RunEditorPrintPreview(program_, m_, *this, *basic_, *grids_, fileDialogs_);
}
