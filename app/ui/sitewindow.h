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

#include "comm/site.h"
#include "config/programstate.h"
#include "platform/ui/modal.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <optional>

class Messages;
class QLabel;
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
    // The background of a row in this state; none (invalid) for the neutral ones.
    static QColor StateColour(SiteResult result);

    // Escape, Close and the window's close button: a run under way is
    // stopped first, and the window closes when its writes have ended.
    void reject() override;

private:
    void LoadTexts();
    QList<int> ChosenRows() const;
    void StartOperation(SiteOperation operation);
    std::optional<QHash<int, QString>> Passwords(const QList<int>& selection);
    void Begin(SiteOperation operation, const QList<int>& selection, const QHash<int, QString>& passwords = {});
    void TerminalStarted(int index);
    void TerminalProgress(int index, const TransferProgress& progress);
    void ShowResult(const SiteTerminalResult& result);
    void RunFinished();
    void ShowRunning();
    void ShowButtons();
    void ShowWriteOutcome();
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
