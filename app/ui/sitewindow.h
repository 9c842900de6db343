#pragma once
// The site window: the terminals of one site file in a table, read, compared
// and written together through the same SiteRun as `vardelo-cli site`.
//
//     SiteWindow window(program, site, {messages, timers, &devices}, mainWindow);
//     window.ShowModal = ...;                      // the password dialog
//     window.OpenInEditor = [](const QString& qlv) { ... };   // a double-click
//     window.exec();
//
// It opens on the site's state taken from its files (no line traffic). The
// buttons act on the selected rows, or on all of them when none is selected;
// each row shows its terminal's state in words and in a colour, and a
// progress bar while its terminal works. A write asks first and shows what
// it did after. Passwords come from the site file's sources; terminals that
// name none take VARDELO_PASSWORD, else what the operator types once in the
// password dialog.
//
// Below the table the operator chooses the directory of card holders (CSV)
// and the day; Plan plans the chosen rows from it as `vardelo-cli site plan`
// does and shows the plan per terminal in a panel, each row's state saying
// whether the plan changes its terminal. Apply (only for a plan shown) asks
// once, then does what `site apply` does for the planned terminals: their
// configuration files brought up to the plan and saved (the replaced ones
// kept in history/), then the window's write for those that need it. A plan
// that is no longer what the files make of it is shown again instead.

#include "comm/site.h"
#include "comm/siteplan.h"
#include "config/programstate.h"
#include "platform/ui/modal.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <optional>

class FileDialogs;
class Messages;
class QDateEdit;
class QLabel;
class QTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class SerialDevices;
class Timers;

// The state word of a result in the operator's language.
QString SiteStateWord(SiteResult result, int languageOffset);

class SiteWindow : public QDialog {
    Q_OBJECT
public:
    struct Services {
        Messages& messages;
        Timers& timers;
        const SerialDevices* devices = nullptr;   // for the cause of a port that did not open
        bool storeReadsOnThreads = true;          // see SiteRun::SetStoreOnThreads
        FileDialogs* files = nullptr;             // choosing the directory of card holders
    };
    SiteWindow(ProgramState& program, const Site& site, Services services, QWidget* parent = nullptr);
    ~SiteWindow() override;

    // Columns of the table, in order.
    enum Column { Name, Port, Identification, LastRead, LastWrite, State, LastError, ColumnCount };

    // How the password dialog is shown (the dialog's own loop when unset).
    ModalRunner ShowModal;
    // Opens a terminal's last read in the editor; a double-click calls it.
    std::function<void(const QString& file)> OpenInEditor;

    SiteRun& Run() { return *run_; }
    // Whether a terminal was written while the window was open.
    bool AnyWritten() const { return anyWritten_; }
    QTableWidget* Table() const { return table_; }
    // The plan or the outcome of Apply as the panel shows it; empty before a plan.
    QString PlanText() const;
    // The background of a row in this state; none (invalid) for the neutral ones.
    static QColor StateColour(SiteResult result);

    // Escape, Close and the window's close button: a run under way is
    // stopped first, and the window closes when its writes have ended.
    void reject() override;

private:
    void LoadTexts();
    QList<int> ChosenRows() const;
    void StartOperation(SiteOperation operation);
    // A plan of some terminals from the directory on the day, and its lines.
    struct Planned {
        QList<int> selection;
        QString directory;
        QDate day;
        QList<LoadedTerminal> loaded;
        SitePlan plan;
        QStringList lines;
    };
    bool ChooseDirectory();
    void SetDirectory(const QString& file);
    std::optional<Planned> MakePlan(const QList<int>& selection, const QString& directory, const QDate& day);
    void PlanChosen();
    void ShowPlan(const Planned& planned);
    void ForgetPlan();
    void Apply();
    void FinishApply(const QList<SiteTerminalResult>& written);
    QStringList OutcomeLines(const QList<SiteTerminalResult>& results, bool applied) const;
    std::optional<QHash<int, QString>> Passwords(const QList<int>& selection);
    bool Begin(SiteOperation operation, const QList<int>& selection, const QHash<int, QString>& passwords = {});
    void TerminalStarted(int index);
    void TerminalProgress(int index, const TransferProgress& progress);
    // transfer: the result of a read or write, whose error replaces the row's.
    void ShowResult(const SiteTerminalResult& result, bool transfer);
    void RunFinished();
    void ShowRunning();
    void ShowButtons();
    void OpenRow(int row);
    QString RunCounts() const;

    ProgramState& program_;
    Services services_;
    std::unique_ptr<SiteRun> run_;
    QTableWidget* table_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* compare_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* close_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QLabel* directoryLabel_ = nullptr;
    QLabel* directoryFile_ = nullptr;
    QPushButton* choose_ = nullptr;
    QLabel* dayLabel_ = nullptr;
    QDateEdit* day_ = nullptr;
    QPushButton* plan_ = nullptr;
    QPushButton* apply_ = nullptr;
    QTextEdit* planView_ = nullptr;
    QString directory_;                 // the directory of card holders chosen
    std::optional<Planned> shownPlan_;  // what Apply applies
    // The terminals Apply brought up to the plan, while they are written.
    std::optional<QList<TerminalApplied>> applying_;
    QHash<int, QProgressBar*> bars_;   // by terminal, while it works
    QHash<int, SiteResult> shown_;     // the state each row shows
    int selected_ = 0;                 // terminals in the run
    int finished_ = 0;                 // of them, ended
    // What the operator typed for the terminals without a password source;
    // forgotten when none of them could be read with it.
    std::optional<QString> typedPassword_;
    bool closeWhenFinished_ = false;
    bool anyWritten_ = false;
};
