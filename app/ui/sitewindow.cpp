#include "app/ui/sitewindow.h"

#include "comm/changereport.h"
#include "comm/progress.h"
#include "editor/password.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "texts/catalogue.h"
#include "texts/directorytexts.h"
#include "texts/filetexts.h"
#include "texts/sitetexts.h"

#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// The day and minute of a read or write, the same in every language.
const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");

// What a terminal without a password source of its own takes, before the
// operator is asked.
constexpr char PasswordVariable[] = "VARDELO_PASSWORD";

// Room for a line of a terminal's last error beside the other columns.
constexpr int ErrorRoomPx = 380;
// Room for the header, the two rows of buttons and the status line.
constexpr int RoomBelowRowsPx = 200;

// The row bars count in thousandths.
constexpr int BarEnd = 1000;

// Where a terminal's transfer stands, from 0 to 1: a read alone, or a write's
// read, send and reply one after the other.
double WorkDone(SiteOperation operation, const TransferProgress& progress)
{
    const double phase = progress.total > 0 ? double(progress.done) / progress.total : 0.0;
    if (operation != SiteOperation::Write)
        return progress.phase == TransferProgress::Phase::Reading ? phase : 0.0;
    switch (progress.phase) {
    case TransferProgress::Phase::Reading: return phase / 3;
    case TransferProgress::Phase::Sending: return (1 + phase) / 3;
    case TransferProgress::Phase::Replying: return (2 + phase) / 3;
    default: return 0.0;
    }
}

// A message of several lines in one table cell.
QString OneLine(const QString& text)
{
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(QStringLiteral(" – "));
}

// The words of the plan's controls, in the order of their text.
enum class PlanWord { DirectoryLabel, Choose, Day, Plan, Apply, NoneChosen };

QString PlanWordText(PlanWord word, int languageOffset)
{
    return CatalogueText(Text::SitePlanWords, languageOffset).split(u'|').value(int(word));
}

// The panel shows the plan at least this high.
constexpr int PlanViewMinPx = 180;

// A heading, the lines before the sections, then a section per terminal.
QString PlanHtml(const QString& heading, const QStringList& before, const QList<QPair<QString, QStringList>>& sections)
{
    const auto paragraph = [](const QStringList& lines) {
        QStringList escaped;
        for (const QString& line : lines)
            escaped << line.toHtmlEscaped();
        return QStringLiteral("<p>") + escaped.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
    };
    QString html = QStringLiteral("<p><b>") + heading.toHtmlEscaped() + QStringLiteral("</b></p>");
    if (!before.isEmpty())
        html += paragraph(before);
    for (const auto& [title, lines] : sections)
        html += QStringLiteral("<h4>") + title.toHtmlEscaped() + QStringLiteral("</h4>") + paragraph(lines);
    return html;
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

QString SiteStateWord(SiteResult result, int languageOffset)
{
    const QStringList words = CatalogueText(Text::SiteStateWords, languageOffset).split(u'|');
    const int at = int(result);
    return at < words.size() ? words.at(at) : SiteResultWord(result);
}

QColor SiteWindow::StateColour(SiteResult result)
{
    // Pale enough that black text stays easy to read on each.
    switch (result) {
    case SiteResult::Ok:
    case SiteResult::Equal: return QColor(0xd8, 0xef, 0xd3);
    case SiteResult::Differs: return QColor(0xfb, 0xe3, 0xa8);
    case SiteResult::Failed: return QColor(0xf6, 0xc4, 0xc4);
    case SiteResult::Skipped:
    case SiteResult::Unknown: return QColor();
    }
    return QColor();
}

SiteWindow::SiteWindow(ProgramState& program, const Site& site, Services services, QWidget* parent)
    : QDialog(parent), program_(program), services_(services)
{
    setObjectName(QStringLiteral("SiteWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);
    run_ = std::make_unique<SiteRun>(program_, services_.timers, site);
    run_->SetStoreOnThreads(services_.storeReadsOnThreads);
    if (services_.devices)
        run_->SetDevices(*services_.devices);
    connect(run_.get(), &SiteRun::TerminalStarted, this, &SiteWindow::TerminalStarted);
    connect(run_.get(), &SiteRun::TerminalProgress, this, &SiteWindow::TerminalProgress);
    connect(run_.get(), &SiteRun::TerminalFinished, this, [this](const SiteTerminalResult& r) {
        ShowResult(r, run_->Operation() == SiteOperation::Read || run_->Operation() == SiteOperation::Write);
    });
    connect(run_.get(), &SiteRun::Finished, this, &SiteWindow::RunFinished);

    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(int(site.terminals.size()), ColumnCount, this);
    table_->setObjectName(QStringLiteral("Terminals"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setHighlightSections(false);
    for (int row = 0; row < site.terminals.size(); ++row) {
        const SiteTerminal& t = site.terminals.at(row);
        for (int column = 0; column < ColumnCount; ++column)
            table_->setItem(row, column, Cell(QString()));
        table_->item(row, Name)->setText(t.name);
        table_->item(row, Port)->setText(t.port.text);
        table_->item(row, Port)->setToolTip(t.port.target);
    }
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenRow(row); });
    layout->addWidget(table_, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [this](const QString& name, QHBoxLayout* row) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    read_ = button(QStringLiteral("Read"), buttons);
    compare_ = button(QStringLiteral("Compare"), buttons);
    write_ = button(QStringLiteral("Write"), buttons);
    stop_ = button(QStringLiteral("Stop"), buttons);
    buttons->addStretch(1);
    close_ = button(QStringLiteral("Close"), buttons);
    connect(read_, &QPushButton::clicked, this, [this] { StartOperation(SiteOperation::Read); });
    connect(compare_, &QPushButton::clicked, this, [this] { StartOperation(SiteOperation::Diff); });
    connect(write_, &QPushButton::clicked, this, [this] { StartOperation(SiteOperation::Write); });
    connect(stop_, &QPushButton::clicked, this, [this] {
        run_->Stop();
        ShowButtons();   // a write under way goes on to its end
    });
    connect(close_, &QPushButton::clicked, this, &SiteWindow::reject);
    layout->addLayout(buttons);

    // The directory of card holders, the day, Plan and Apply.
    auto* planning = new QHBoxLayout;
    directoryLabel_ = new QLabel(this);
    planning->addWidget(directoryLabel_);
    directoryFile_ = new QLabel(this);
    directoryFile_->setObjectName(QStringLiteral("DirectoryFile"));
    planning->addWidget(directoryFile_, 1);
    choose_ = button(QStringLiteral("ChooseDirectory"), planning);
    dayLabel_ = new QLabel(this);
    planning->addWidget(dayLabel_);
    day_ = new QDateEdit(run_->Now().date(), this);
    day_->setObjectName(QStringLiteral("Day"));
    day_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    day_->setCalendarPopup(true);
    dayLabel_->setBuddy(day_);
    planning->addWidget(day_);
    plan_ = button(QStringLiteral("Plan"), planning);
    apply_ = button(QStringLiteral("Apply"), planning);
    layout->addLayout(planning);
    connect(choose_, &QPushButton::clicked, this, &SiteWindow::ChooseDirectory);
    connect(day_, &QDateEdit::dateChanged, this, &SiteWindow::ForgetPlan);
    connect(plan_, &QPushButton::clicked, this, &SiteWindow::PlanChosen);
    connect(apply_, &QPushButton::clicked, this, &SiteWindow::Apply);

    planView_ = new QTextEdit(this);
    planView_->setObjectName(QStringLiteral("Plan"));
    planView_->setReadOnly(true);
    planView_->setMinimumHeight(PlanViewMinPx);
    planView_->hide();
    layout->addWidget(planView_, 1);

    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    layout->addWidget(statusLine_);

    LoadTexts();
    SetDirectory(program_.SiteDirectories.value(QFileInfo(site.file).absoluteFilePath()));
    // What the files say, without touching the line.
    Begin(SiteOperation::Status, run_->All());
    table_->resizeColumnsToContents();
    // Every state word fits its column, also those a run brings later.
    int stateWidth = table_->columnWidth(State);
    for (SiteResult result : {SiteResult::Ok, SiteResult::Failed, SiteResult::Equal, SiteResult::Differs,
                              SiteResult::Skipped, SiteResult::Unknown})
        stateWidth = std::max(stateWidth, table_->fontMetrics().horizontalAdvance(SiteStateWord(result, program_.LanguageOffset)) + 24);
    table_->setColumnWidth(State, stateWidth);
    // The table takes the keys: arrows and Shift choose rows, nothing is
    // chosen until the operator does.
    table_->setFocus();
    // Wide enough for the columns and a line of the last error, tall
    // enough for every row, within the screen.
    const QSize screen = this->screen() ? this->screen()->availableGeometry().size() : QSize(1280, 1024);
    resize(std::clamp(table_->horizontalHeader()->length() + ErrorRoomPx, 760, screen.width() * 9 / 10),
           std::clamp(table_->verticalHeader()->length() + RoomBelowRowsPx, 300, screen.height() * 9 / 10));
}

SiteWindow::~SiteWindow() = default;

void SiteWindow::LoadTexts()
{
    const int language = program_.LanguageOffset;
    const auto text = [language](TextNumber id) { return CatalogueText(id, language); };
    setWindowTitle(text(Text::SiteWindowTitle).arg(run_->SiteDescription().name));
    table_->setHorizontalHeaderLabels({text(Text::SiteNameColumn), text(Text::SitePortColumn),
                                       text(Text::IdentificationFrame), text(Text::SiteLastReadColumn),
                                       text(Text::SiteLastWriteColumn), text(Text::SiteStateColumn),
                                       text(Text::SiteErrorColumn)});
    read_->setText(text(Text::SiteReadButton));
    compare_->setText(text(Text::SiteCompareButton));
    write_->setText(text(Text::SiteWriteButton));
    stop_->setText(text(Text::SiteStopButton));
    close_->setText(text(Text::ChangeDetailsClose));
    directoryLabel_->setText(PlanWordText(PlanWord::DirectoryLabel, language));
    choose_->setText(PlanWordText(PlanWord::Choose, language));
    dayLabel_->setText(PlanWordText(PlanWord::Day, language));
    plan_->setText(PlanWordText(PlanWord::Plan, language));
    apply_->setText(PlanWordText(PlanWord::Apply, language));
}

QList<int> SiteWindow::ChosenRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows.isEmpty() ? run_->All() : rows;
}

void SiteWindow::StartOperation(SiteOperation operation)
{
    if (run_->Running())
        return;
    const QList<int> selection = ChosenRows();
    if (operation == SiteOperation::Write) {
        QStringList names;
        for (int index : selection)
            names.append(run_->SiteDescription().terminals.at(index).name);
        const QString question = CatalogueText(Text::SiteWriteQuestion, program_.LanguageOffset)
                                     .arg(selection.size())
                                 + QStringLiteral("\n\n") + names.join(QStringLiteral(", "));
        // Escape is no Yes: nothing is written.
        if (services_.messages.Show(question, windowTitle(), Messages::Buttons::YesNo, this) != Messages::Answer::Yes)
            return;
    }
    if (operation == SiteOperation::Diff || operation == SiteOperation::Status)
        Begin(operation, selection);
    else if (const auto passwords = Passwords(selection))
        Begin(operation, selection, *passwords);
}

std::optional<QHash<int, QString>> SiteWindow::Passwords(const QList<int>& selection)
{
    const Site& site = run_->SiteDescription();
    std::optional<QString> fromEnvironment;
    if (qEnvironmentVariableIsSet(PasswordVariable))
        fromEnvironment = qEnvironmentVariable(PasswordVariable);
    const SitePasswords resolved = ResolveSitePasswords(site, selection, fromEnvironment);
    if (!resolved.problems.isEmpty()) {
        services_.messages.Show(SiteProblemsMessage(resolved.problems, site.file, program_.LanguageOffset),
                                windowTitle(), Messages::Buttons::Ok, this);
        return std::nullopt;
    }
    QHash<int, QString> passwords = resolved.passwords;
    if (fromEnvironment || !NeedsDefaultPassword(site, selection))
        return passwords;
    if (!typedPassword_) {
        PasswordDialog dialog(program_, services_.messages, [] {}, this);
        if (ShowModal)
            ShowModal(dialog);
        else
            dialog.exec();
        if (!dialog.Result().PasswordAccepted)
            return std::nullopt;
        typedPassword_ = dialog.Result().TerminalPassword;
    }
    for (int index : selection)
        if (site.terminals.at(index).password.source == SitePassword::Source::Default)
            passwords.insert(index, *typedPassword_);
    return passwords;
}

bool SiteWindow::Begin(SiteOperation operation, const QList<int>& selection, const QHash<int, QString>& passwords)
{
    selected_ = int(selection.size());
    finished_ = 0;
    ShowRunning();
    if (!run_->Start(operation, selection, passwords))
        return false;
    ShowButtons();
    return true;
}

bool SiteWindow::ChooseDirectory()
{
    if (!services_.files || run_->Running())
        return false;
    const int language = program_.LanguageOffset;
    const QString from = directory_.isEmpty() ? run_->SiteDescription().folder : QFileInfo(directory_).path();
    const FileDialogRequest request{QString(), CatalogueText(Text::CsvFilter, language),
                                    CatalogueText(Text::SiteDirectoryOpenTitle, language), from};
    const std::optional<QString> name = services_.files->Open(request, this);
    if (!name)
        return false;
    SetDirectory(QFileInfo(*name).absoluteFilePath());
    program_.SiteDirectories.insert(QFileInfo(run_->SiteDescription().file).absoluteFilePath(), directory_);
    return true;
}

void SiteWindow::SetDirectory(const QString& file)
{
    directory_ = file;
    directoryFile_->setText(file.isEmpty() ? PlanWordText(PlanWord::NoneChosen, program_.LanguageOffset)
                                           : QFileInfo(file).fileName());
    directoryFile_->setToolTip(file);
    ForgetPlan();
}

std::optional<SiteWindow::Planned> SiteWindow::MakePlan(const QList<int>& selection, const QString& directory,
                                                        const QDate& day)
{
    const Site& site = run_->SiteDescription();
    const int language = program_.LanguageOffset;
    const Directory read = ReadSiteDirectory(site, directory);
    if (!read) {
        // No plan stands: none is shown as if it did.
        planView_->hide();
        services_.messages.Show(DirectoryMessage(read, directory, language), windowTitle(), Messages::Buttons::Ok, this);
        return std::nullopt;
    }
    Planned planned{selection, directory, day, LoadSiteTerminals(site, selection, TerminalSource::Configuration, language), {}, {}};
    planned.plan = PlanSite(PlanTerminals(planned.loaded), read, day);
    planned.lines = SitePlanLines(planned.plan, planned.loaded, language);
    return planned;
}

void SiteWindow::PlanChosen()
{
    if (run_->Running() || (directory_.isEmpty() && !ChooseDirectory()))
        return;
    // A directory that cannot be used leaves the rows as they were and no plan to apply.
    ForgetPlan();
    if (const auto planned = MakePlan(ChosenRows(), directory_, day_->date()))
        ShowPlan(*planned);
}

void SiteWindow::ShowPlan(const Planned& planned)
{
    const int language = program_.LanguageOffset;
    QList<QPair<QString, QStringList>> sections;
    for (int i = 0; i < planned.loaded.size() && i < planned.plan.terminals.size(); ++i) {
        const LoadedTerminal& l = planned.loaded.at(i);
        const TerminalPlan& p = planned.plan.terminals.at(i);
        SiteTerminalResult r;
        r.index = l.index;
        r.name = l.name;
        r.result = PlanResult(p, l);
        r.message = TerminalPlanLines(p, l, language).join(u'\n');
        ShowResult(r, false);
        sections.append({l.name + QStringLiteral(" – ") + SiteStateWord(r.result, language), r.message.split(u'\n')});
    }
    const QString heading = CatalogueText(Text::SitePlanHeading, language)
                                .arg(planned.day.toString(Qt::ISODate), QFileInfo(planned.directory).fileName());
    planView_->setHtml(PlanHtml(heading, planned.lines.mid(0, planned.plan.namesCut.size()), sections));
    if (planView_->isHidden()) {
        planView_->show();
        // Room for the panel below the rows, within the screen.
        const QSize screen = this->screen() ? this->screen()->availableGeometry().size() : QSize(1280, 1024);
        resize(width(), std::min(height() + planView_->minimumHeight() + layout()->spacing(), screen.height() * 9 / 10));
    }
    statusLine_->setText(RunCounts());
    shownPlan_ = planned;
    ShowButtons();
}

void SiteWindow::ForgetPlan()
{
    shownPlan_.reset();
    if (apply_)
        ShowButtons();
}

QString SiteWindow::PlanText() const
{
    return planView_->isHidden() ? QString() : planView_->toPlainText();
}

void SiteWindow::Apply()
{
    if (run_->Running() || !shownPlan_)
        return;
    const int language = program_.LanguageOffset;
    // What the files make of the plan now: a directory or configuration
    // changed since the plan was shown is shown again, not applied.
    std::optional<Planned> planned = MakePlan(shownPlan_->selection, shownPlan_->directory, shownPlan_->day);
    if (!planned)
        return ForgetPlan();
    if (planned->lines != shownPlan_->lines) {
        ShowPlan(*planned);
        services_.messages.Show(CatalogueText(Text::SitePlanChanged, language), windowTitle(), Messages::Buttons::Ok, this);
        return;
    }
    const Site& site = run_->SiteDescription();
    QList<TerminalApplied> applied = PrepareSiteApply(site, planned->loaded, planned->plan, language);
    const auto files = std::count_if(applied.cbegin(), applied.cend(), [](const TerminalApplied& a) {
        return a.outcome == TerminalApplied::Outcome::Applied;
    });
    QList<int> toWrite = WriteSelection(applied);
    QHash<int, QString> passwords;
    if (files > 0 || !toWrite.isEmpty()) {
        // Escape is no Yes: nothing is saved or written.
        if (services_.messages.Show(CatalogueText(Text::SiteApplyQuestion, language).arg(files).arg(toWrite.size()),
                                    windowTitle(), Messages::Buttons::YesNo, this) != Messages::Answer::Yes)
            return;
        // The passwords before any file is saved: a run that cannot begin changes nothing.
        if (!toWrite.isEmpty()) {
            const auto given = Passwords(toWrite);
            if (!given)
                return;
            passwords = *given;
        }
    }
    SaveAppliedConfigurations(planned->loaded, applied, language);
    shownPlan_.reset();   // spent: the next Apply needs a plan of the files as they are now
    applying_ = applied;
    toWrite = WriteSelection(applied);
    if (toWrite.isEmpty() || !Begin(SiteOperation::Write, toWrite, passwords))
        FinishApply({});
}

void SiteWindow::FinishApply(const QList<SiteTerminalResult>& written)
{
    const QList<SiteTerminalResult> results = SiteApplyResults(run_->SiteDescription(), *applying_, written, false);
    applying_.reset();
    QSet<int> wasWritten;
    for (const SiteTerminalResult& r : written)
        wasWritten.insert(r.index);
    // A written row shows its write's result (a failure's cause first); the
    // others what became of their file.
    for (const SiteTerminalResult& r : results)
        if (!wasWritten.contains(r.index))
            ShowResult(r, false);
    const int language = program_.LanguageOffset;
    QList<QPair<QString, QStringList>> sections;
    for (const SiteTerminalResult& r : results)
        sections.append({r.name + QStringLiteral(" – ") + SiteStateWord(r.result, language),
                         r.message.split(u'\n', Qt::SkipEmptyParts)});
    const QString heading = CatalogueText(Text::SiteAppliedHeading, language)
                                .arg(day_->date().toString(Qt::ISODate), QFileInfo(directory_).fileName());
    planView_->setHtml(PlanHtml(heading, {}, sections));
    statusLine_->setText(RunCounts());
    ShowButtons();
    services_.messages.Show(OutcomeLines(results, true).join(u'\n'), windowTitle(), Messages::Buttons::Ok, this);
}

void SiteWindow::TerminalStarted(int index)
{
    if (run_->Operation() != SiteOperation::Read && run_->Operation() != SiteOperation::Write)
        return;
    auto* bar = new QProgressBar(table_);
    bar->setObjectName(QStringLiteral("Progress"));
    bar->setRange(0, BarEnd);
    bar->setValue(0);
    bar->setTextVisible(true);
    bar->setFormat(QStringLiteral("%p %"));
    table_->setCellWidget(index, State, bar);
    bars_.insert(index, bar);
}

void SiteWindow::TerminalProgress(int index, const TransferProgress& progress)
{
    QProgressBar* bar = bars_.value(index);
    if (!bar)
        return;
    // A bar never goes back within a run: the phases follow each other.
    const int value = std::max(bar->value(), int(WorkDone(run_->Operation(), progress) * BarEnd));
    bar->setValue(value);
    if (progress.phase != TransferProgress::Phase::Idle)
        bar->setToolTip(StatusLineText(program_, progress, NextStep::Read));
}

void SiteWindow::ShowResult(const SiteTerminalResult& r, bool transfer)
{
    const int row = r.index;
    if (row < 0 || row >= table_->rowCount())
        return;
    if (QProgressBar* bar = bars_.take(row)) {
        // The table deletes it later; the state shows now.
        bar->hide();
        table_->removeCellWidget(row, State);
    }
    ++finished_;
    anyWritten_ = anyWritten_ || r.written;
    // What a run does not know (a failed read knows no identification)
    // leaves what the row showed.
    if (!r.identification.isEmpty())
        table_->item(row, Identification)->setText(r.identification);
    if (r.lastRead.isValid())
        table_->item(row, LastRead)->setText(r.lastRead.toString(TimeFormat));
    if (r.lastWrite.isValid())
        table_->item(row, LastWrite)->setText(r.lastWrite.toString(TimeFormat));
    // A read or write says what went wrong this time; diff and status know
    // only the errors of the log, and a port that never opened is no
    // transfer there: what the row said stays until a transfer succeeds.
    const QString error = r.result == SiteResult::Failed ? r.message : r.lastError;
    if (transfer || !error.isEmpty()) {
        table_->item(row, LastError)->setText(OneLine(error));
        table_->item(row, LastError)->setToolTip(error);
    }
    table_->item(row, State)->setText(SiteStateWord(r.result, program_.LanguageOffset));
    table_->item(row, State)->setToolTip(r.message);
    shown_.insert(row, r.result);
    const QColor colour = StateColour(r.result);
    for (int column = 0; column < ColumnCount; ++column) {
        QTableWidgetItem* item = table_->item(row, column);
        item->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
        item->setForeground(colour.isValid() ? QBrush(Qt::black) : QBrush());
    }
    ShowRunning();
}

void SiteWindow::RunFinished()
{
    const SiteOperation operation = run_->Operation();
    const QList<SiteTerminalResult> results = run_->Results();
    // The password typed once is wrong when no terminal that took it could be read with it.
    if (typedPassword_ && (operation == SiteOperation::Read || operation == SiteOperation::Write)) {
        bool tookIt = false;
        bool worked = false;
        for (const SiteTerminalResult& r : results) {
            if (run_->SiteDescription().terminals.at(r.index).password.source != SitePassword::Source::Default)
                continue;
            tookIt = true;
            worked = worked || !r.identification.isEmpty();
        }
        if (tookIt && !worked)
            typedPassword_.reset();
    }
    table_->resizeColumnToContents(Identification);
    table_->resizeColumnToContents(LastRead);
    table_->resizeColumnToContents(LastWrite);
    statusLine_->setText(RunCounts());
    ShowButtons();
    // What a write did is said also when the operator closed the window
    // meanwhile: the table that would show it goes.
    if (operation == SiteOperation::Write && applying_)
        FinishApply(results);
    else if (operation == SiteOperation::Write)
        services_.messages.Show(OutcomeLines(results, false).join(u'\n'), windowTitle(), Messages::Buttons::Ok, this);
    if (closeWhenFinished_)
        QDialog::reject();
}

QStringList SiteWindow::OutcomeLines(const QList<SiteTerminalResult>& results, bool applied) const
{
    // A write names the changes it made; Apply's message holds what became
    // of the file before them.
    QStringList lines;
    for (const SiteTerminalResult& r : results) {
        QString line = r.name + QStringLiteral(": ") + SiteStateWord(r.result, program_.LanguageOffset);
        QString detail;
        if (applied || r.result == SiteResult::Failed || r.result == SiteResult::Skipped)
            detail = OneLine(r.message);
        else if (r.compared)
            detail = SummarizeChanges(r.changes, program_.LanguageOffset).join(QStringLiteral("; "));
        if (!detail.isEmpty())
            line += QStringLiteral(" – ") + detail;
        lines.append(line);
    }
    return lines;
}

void SiteWindow::ShowRunning()
{
    if (run_->Running() || finished_ < selected_)
        statusLine_->setText(CatalogueText(Text::SiteRunning, program_.LanguageOffset).arg(finished_).arg(selected_));
}

QString SiteWindow::RunCounts() const
{
    // In the order of the words: ok, failed, equal, differs, skipped, unknown.
    QMap<int, int> counts;
    for (auto it = shown_.cbegin(); it != shown_.cend(); ++it)
        ++counts[int(it.value())];
    QStringList parts;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        parts.append(QStringLiteral("%1: %2").arg(SiteStateWord(SiteResult(it.key()), program_.LanguageOffset)).arg(it.value()));
    return parts.join(QStringLiteral(" · "));
}

void SiteWindow::ShowButtons()
{
    const bool running = run_->Running();
    for (QWidget* b : std::initializer_list<QWidget*>{read_, compare_, write_, choose_, day_, plan_})
        b->setEnabled(!running);
    apply_->setEnabled(!running && shownPlan_.has_value());
    stop_->setEnabled(running && !run_->Stopped());
}

void SiteWindow::OpenRow(int row)
{
    // The folder's read is rewritten while its terminal works.
    if (run_->Running() || row < 0 || row >= run_->SiteDescription().terminals.size())
        return;
    const SiteTerminal& t = run_->SiteDescription().terminals.at(row);
    const QString file = QDir(t.folder).filePath(SiteReadFileName);
    if (!QFileInfo(file).isFile()) {
        services_.messages.Show(CatalogueText(Text::HintRead, program_.LanguageOffset).arg(PrintableText(file)),
                                windowTitle(), Messages::Buttons::Ok, this);
        return;
    }
    if (OpenInEditor)
        OpenInEditor(file);
    // A save in the editor may have changed what the folder holds.
    Begin(SiteOperation::Status, {row});
}

void SiteWindow::reject()
{
    // A write under way ends as a write does: the window waits for it.
    if (run_->Running()) {
        closeWhenFinished_ = true;
        run_->Stop();
        ShowButtons();
        return;
    }
    QDialog::reject();
}
