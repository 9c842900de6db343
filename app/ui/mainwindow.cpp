#include "app/ui/mainwindow.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "texts/networktexts.h"
#include "app/mainflow.h"
#include "app/ui/languagewindow.h"
#include "comm/changereport.h"
#include "comm/transferlog.h"
#include "app/ui/backgroundwidget.h"
#include "app/ui/changedetailsdialog.h"
#include "app/ui/displaycheckbox.h"
#include "app/ui/interfacedialog.h"
#include "app/ui/pathlabel.h"
#include "app/ui/sitewindow.h"
#include "comm/portdiagnosis.h"
#include "comm/portlisting.h"
#include "comm/receivehandler.h"
#include "comm/portopening.h"
#include "comm/progress.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "texts/sequencetext.h"
#include "comm/timing.h"
#include "config/configfiles.h"
#include "config/sitefile.h"
#include "texts/sitetexts.h"
#include "platform/ui/twips.h"
#include "editor/editorwindow.h"
#include "editor/password.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/serialdevices.h"
#include "platform/seriallink.h"
#include "platform/timers.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>


namespace {

// Outer size of the window in twips; the client area is what remains inside
// the title bar and the borders.
constexpr int WindowWidthTwips = 12000;
constexpr int WindowHeightTwips = 8595;
constexpr int FrameAllowancePx = 8;       // left and right borders together
constexpr int TitleAllowancePx = 30;      // title bar and lower border

// The status line follows the line at least this often while a sequence runs.
constexpr int StatusIntervalMs = 250;
// The smallest client area keeps every panel whole: the read and write
// panels and the identification frame, with a small margin.
constexpr int PanelsRightTwips = 9360 + 2175;
constexpr int PanelsBottomTwips = 4920 + 1575;
constexpr int PanelMarginTwips = 120;

const QColor IdentificationColour(13, 86, 178);
const QColor StartableColour(0, 255, 0);
const QColor RunningColour(255, 0, 0);

// The banner names the terminal family and the stand-alone product, in the
// words the window caption uses in every language.
const QString BannerText = QStringLiteral("VARDELO\nstand alone");

QGroupBox* Frame(const QString& name, QWidget* parent, QRect geometry)
{
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

QPushButton* Button(const QString& name, QWidget* parent, QRect geometry)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

} // namespace

MainWindow::MainWindow(ProgramState& program, Configuration& m, Services services, QWidget* parent)
    : QMainWindow(parent), program_(program), m_(m), services_(std::move(services))
{
    setObjectName(QStringLiteral("vardelo1"));
    client_ = new BackgroundWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    // The layout is measured for a narrow 8-point face: the longest captions
    // ("Datei in VARDELO schreiben", "VARDELO rücklesen") fit their controls
    // in every language. Arial is Liberation Sans where Arial is missing.
    QFont face(QStringLiteral("Arial"), 8);
    face.setStyleHint(QFont::SansSerif);
    client_->setFont(face);
    setCentralWidget(client_);
    BuildMenus();
    BuildPanels();
    session_ = std::make_unique<TerminalSession>(program_, services_.link, services_.timers, services_.messages);
    recorder_ = std::make_unique<TransferRecorder>(*session_, TransferLogPathFor(services_.settingsPath));
    connect(recorder_.get(), &TransferRecorder::Problem, this, [this](const QString& problem) {
        services_.messages.Show(SequenceText(program_, Text::TransferLogUnwritable).arg(problem),
                                TableText(program_, Text::MustReadFirstTitle), Messages::Buttons::Ok, this);
    });
    ConnectSequences();
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->addWidget(statusLine_, 1);
    connectionLine_ = new QLabel(this);
    connectionLine_->setObjectName(QStringLiteral("ConnectionStatus"));
    statusBar()->addPermanentWidget(connectionLine_);
    // The connection's line keeps its width; the status line takes the rest.
    statusLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->setSizeGripEnabled(false);
    connect(&services_.link, &SerialLink::Ready, this, [this] {
        connectionProblem_.clear();
        ShowConnection();
        if (waitingCommand_)
            std::exchange(waitingCommand_, {})();
    });
    // Said once the link's own work is done: a message box is not opened
    // from inside the network link's handlers. The failure is taken now,
    // before a reopening clears it.
    connect(&services_.link, &SerialLink::ConnectionFailed, this, [this] {
        const PortFailure failure = services_.link.OpenFailure();
        QMetaObject::invokeMethod(this, [this, failure] { OnConnectionFailed(failure); }, Qt::QueuedConnection);
    });
    connect(&session_->Receiver(), &ReceiveHandler::PortReopened, this, &MainWindow::ShowConnection);
    client_->setMinimumSize(TwipsToPixels(PanelsRightTwips + PanelMarginTwips),
                            TwipsToPixels(PanelsBottomTwips + PanelMarginTwips));
    monitor_ = std::make_unique<TransferMonitor>(*session_, services_.timers, StatusIntervalMs);
    connect(monitor_.get(), &TransferMonitor::Changed, this, &MainWindow::ShowProgress);
    languageOfferTimer_ = services_.timers.CreateTimer(Timing::StartUpDelayMs);
    connect(languageOfferTimer_.get(), &PeriodicTimer::Tick, this, &MainWindow::OfferLanguageWindow);
    OpenEditor = [this](bool loadedFile) { OpenEditorWindow(loadedFile); };
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus()
{
    auto action = [this](QMenu* menu, const QString& name) {
        auto* a = menu->addAction(QString());
        a->setObjectName(name);
        return a;
    };
    fileMenu_ = menuBar()->addMenu(QString());
    fileMenu_->setObjectName(QStringLiteral("mnudatei"));
    loadAction_ = action(fileMenu_, QStringLiteral("mnuladen"));
    exitAction_ = action(fileMenu_, QStringLiteral("mnuBeenden"));

    terminalMenu_ = menuBar()->addMenu(QString());
    terminalMenu_->setObjectName(QStringLiteral("mnuvardelo"));
    readAction_ = action(terminalMenu_, QStringLiteral("mnuauslesen"));
    writeAction_ = action(terminalMenu_, QStringLiteral("mnubeschreiben"));
    resetAction_ = action(terminalMenu_, QStringLiteral("mres"));
    interfaceAction_ = action(terminalMenu_, QStringLiteral("mnuschnittst"));
    terminalMenu_->addSeparator();
    siteAction_ = action(terminalMenu_, QStringLiteral("mnustandort"));

    helpMenu_ = menuBar()->addMenu(QString());
    helpMenu_->setObjectName(QStringLiteral("mnuhelp"));
    // The three help items keep these captions in every language.
    const std::pair<const char*, const char*> helpItems[] = {
        {"mnusoft", "&Software"}, {"mnuinst", "&Installation"}, {"mnualarm", "&Alarmmodul"}};
    for (const auto& [name, caption] : helpItems) {
        QAction* a = action(helpMenu_, QString::fromLatin1(name));
        a->setText(QString::fromLatin1(caption));
        connect(a, &QAction::triggered, this, &MainWindow::ShowMakerAddress);
    }

    connect(loadAction_, &QAction::triggered, this, &MainWindow::LoadCommand);
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(readAction_, &QAction::triggered, this, &MainWindow::ShowReadPanel);
    connect(writeAction_, &QAction::triggered, this, &MainWindow::WriteCommand);
    connect(resetAction_, &QAction::triggered, this, &MainWindow::ResetCommand);
    connect(interfaceAction_, &QAction::triggered, this, &MainWindow::InterfaceCommand);
    connect(siteAction_, &QAction::triggered, this, &MainWindow::SiteCommand);
}

void MainWindow::BuildPanels()
{
    identificationFrame_ = Frame(QStringLiteral("Frame3"), client_, TwipsRect(9360, 120, 2175, 615));
    identificationLabel_ = new QLabel(identificationFrame_);
    identificationLabel_->setObjectName(QStringLiteral("Label1"));
    identificationLabel_->setGeometry(TwipsRect(120, 240, 1935, 255));
    QPalette identification = identificationLabel_->palette();
    identification.setColor(QPalette::WindowText, IdentificationColour);
    identificationLabel_->setPalette(identification);

    bannerLabel_ = new QLabel(BannerText, client_);
    bannerLabel_->setObjectName(QStringLiteral("Label5"));
    QRect banner = TwipsRect(5520, 1320, 6975, 855);
    // The banner's place reaches past the client area's right edge; it ends
    // at the edge instead so that no line is cut.
    banner.setRight(std::min(banner.right(), TwipsToPixels(WindowWidthTwips) - FrameAllowancePx - 12));
    bannerLabel_->setGeometry(banner);
    QFont bannerFont = bannerLabel_->font();
    bannerFont.setPointSize(14);
    bannerFont.setBold(true);
    bannerLabel_->setFont(bannerFont);
    QPalette bannerPalette = bannerLabel_->palette();
    bannerPalette.setColor(QPalette::WindowText, IdentificationColour);
    bannerLabel_->setPalette(bannerPalette);
    bannerLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Read panel.
    readPanel_ = Frame(QStringLiteral("Frame1"), client_, TwipsRect(480, 4920, 10935, 1455));
    readButton_ = Button(QStringLiteral("Taste1"), readPanel_, TwipsRect(240, 360, 2175, 375));
    readCancelButton_ = Button(QStringLiteral("Command2"), readPanel_, TwipsRect(240, 840, 2175, 375));
    waitFrame_ = Frame(QStringLiteral("Frame8"), readPanel_, TwipsRect(3000, 240, 1935, 975));
    waitNotice_ = new QLineEdit(waitFrame_);
    waitNotice_->setObjectName(QStringLiteral("Text2"));
    waitNotice_->setGeometry(TwipsRect(120, 360, 1695, 375));
    waitNotice_->setReadOnly(true);
    waitNotice_->setFocusPolicy(Qt::NoFocus);
    waitNotice_->setAlignment(Qt::AlignCenter);
    const int checkLeft[] = {5400, 7200, 8880};
    DisplayCheckBox** checks[] = {&connectionCheck_, &passwordCheck_, &finishedCheck_};
    for (int i = 0; i < 3; ++i) {
        *checks[i] = new DisplayCheckBox(readPanel_);
        (*checks[i])->setObjectName(QStringLiteral("Ch%1").arg(i + 1));
        (*checks[i])->setGeometry(TwipsRect(checkLeft[i], 480, i < 2 ? 1680 : 1935, 375));
    }

    // Write panel, in the same place.
    writePanel_ = Frame(QStringLiteral("Frame2"), client_, TwipsRect(480, 4920, 10935, 1575));
    writeButton_ = Button(QStringLiteral("taste2"), writePanel_, TwipsRect(360, 480, 2175, 375));
    writeCancelButton_ = Button(QStringLiteral("Command1"), writePanel_, TwipsRect(360, 960, 2175, 375));
    writeFileFrame_ = Frame(QStringLiteral("Frame4"), writePanel_, TwipsRect(2760, 360, 3975, 975));
    writeFileLabel_ = new PathLabel(writeFileFrame_);
    writeFileLabel_->setObjectName(QStringLiteral("Label2"));
    writeFileLabel_->setGeometry(TwipsRect(120, 360, 3735, 375));
    sendFrame_ = Frame(QStringLiteral("Frame5"), writePanel_, TwipsRect(6960, 360, 2055, 975));
    sendBar_ = new QProgressBar(sendFrame_);
    sendBar_->setObjectName(QStringLiteral("FlatScrollBar1"));
    sendBar_->setGeometry(TwipsRect(120, 420, 1815, 300));
    sendBar_->setRange(0, Timing::SendProgressEnd);
    sendBar_->setTextVisible(false);
    replyFrame_ = Frame(QStringLiteral("Frame6"), writePanel_, TwipsRect(9120, 360, 1695, 975));
    replyBar_ = new QProgressBar(replyFrame_);
    replyBar_->setObjectName(QStringLiteral("FlatScrollBar2"));
    replyBar_->setGeometry(TwipsRect(120, 420, 1455, 300));
    replyBar_->setRange(0, Timing::ReplyProgressEnd);
    replyBar_->setTextVisible(false);

    // The change summary stands above the write panel and goes with it.
    changesFrame_ = Frame(QStringLiteral("WriteChanges"), client_, TwipsRect(480, 2520, 10935, 2280));
    changesSummary_ = new QLabel(changesFrame_);
    changesSummary_->setObjectName(QStringLiteral("ChangeSummary"));
    changesSummary_->setGeometry(TwipsRect(240, 300, 7800, 1860));
    changesSummary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    changesDetails_ = Button(QStringLiteral("ChangeDetails"), changesFrame_, TwipsRect(8400, 360, 2175, 375));
    connect(changesDetails_, &QPushButton::clicked, this, &MainWindow::ShowChangeDetails);
    changesFrame_->hide();
    writePanel_->installEventFilter(this);

    connect(readCancelButton_, &QPushButton::clicked, readPanel_, &QWidget::hide);
    connect(writeCancelButton_, &QPushButton::clicked, writePanel_, &QWidget::hide);
    connect(readButton_, &QPushButton::clicked, this, &MainWindow::StartRead);
    connect(writeButton_, &QPushButton::clicked, this, &MainWindow::StartWrite);
    SetButtonColour(readButton_, false);
    SetButtonColour(writeButton_, false);
}

void MainWindow::ConnectSequences()
{
    ReadSequence& read = session_->Read();
    connect(&read, &ReadSequence::ChecksChanged, this, [this](bool connection, bool password, bool done) {
        connectionCheck_->setChecked(connection);
        passwordCheck_->setChecked(password);
        finishedCheck_->setChecked(done);
    });
    connect(&read, &ReadSequence::RunningChanged, this, [this](bool running) {
        SetButtonColour(readButton_, running);
        readButton_->setEnabled(!running);
        readCancelButton_->setEnabled(!running);
        waitNotice_->setText(running ? SequenceText(program_, Text::PleaseWait) : QString());
        waitNotice_->setVisible(running);
    });
    connect(&read, &ReadSequence::IdentificationChanged, identificationLabel_, &QLabel::setText);
    connect(&read, &ReadSequence::EditRequested, this, [this](const QString& path) {
        m_.CurrentConfigFile = path;
        HidePanels();
        if (OpenEditor)
            OpenEditor(false);
    });
    connect(&read, &ReadSequence::PanelsHideRequested, this, &MainWindow::HidePanels);

    WriteSequence& write = session_->Write();
    connect(&write, &WriteSequence::RunningChanged, this, [this](bool running) {
        if (running) {
            SetButtonColour(writeButton_, true);
            writeButton_->setEnabled(false);
        }
        writeCancelButton_->setEnabled(!running);
    });
    connect(&write, &WriteSequence::IdentificationChanged, identificationLabel_, &QLabel::setText);
    connect(&write, &WriteSequence::PanelHideRequested, this, [this] {
        writeButton_->hide();
        writePanel_->hide();
    });

    ResetSequence& reset = session_->Reset();
    connect(&reset, &ResetSequence::PanelsHideRequested, this, &MainWindow::HidePanels);
    connect(&reset, &ResetSequence::IdentificationChanged, identificationLabel_, &QLabel::setText);

    // While a sequence runs, the commands that would disturb it are unavailable.
    connect(session_.get(), &TerminalSession::BusyChanged, this, [this](bool busy) {
        for (QAction* a : {loadAction_, readAction_, writeAction_, resetAction_, interfaceAction_, siteAction_})
            a->setEnabled(!busy);
    });
}

void MainWindow::ShowProgress()
{
    const TransferProgress progress = monitor_->Current();
    statusLine_->setText(StatusLineText(program_, progress, monitor_->Next()));
    const WriteBars bars = WriteBarsFor(progress);
    for (const auto& [bar, value] : {std::pair{sendBar_, bars.send}, std::pair{replyBar_, bars.reply}}) {
        if (bar->value() == value)
            continue;
        bar->setValue(value);
        // A bar repaints by itself only after a change of a whole chunk
        // width (about a tenth of these narrow bars); it shows each count
        // the status line shows.
        bar->update();
    }
}

void MainWindow::ShowConnection()
{
    const SerialLink& link = services_.link;
    QString text;
    if (link.IsReady() && link.RoundTripUs() >= 0)
        text = ConnectedText(link.Description(), link.RoundTripUs(), program_.LanguageOffset);
    else if (link.IsOpen() && !link.IsReady())
        text = CatalogueText(Text::NetworkConnecting, program_.LanguageOffset).arg(link.Description());
    else if (!link.IsOpen())
        text = connectionProblem_;
    connectionLine_->setText(text);
}

void MainWindow::OnConnectionFailed(const PortFailure& failure)
{
    waitingCommand_ = nullptr;
    connectionProblem_ = OpenFailureLine(failure, program_.LanguageOffset);
    ShowConnection();
    // A lost connection is opened again at once and that says how it went;
    // a running read or write ends by its watchdog with its own message.
    if (failure.network == NetworkProblem::Dropped || session_->Busy())
        return;
    services_.messages.Show(PortFailedMessage(program_, Text::PortBusy, {failure}), SequenceText(program_, Text::PortBusyTitle),
                            Messages::Buttons::Ok, this);
}

void MainWindow::WhenLinkReady(std::function<void()> command)
{
    if (services_.link.IsReady() || !services_.link.IsOpen()) {
        waitingCommand_ = nullptr;
        command();
        return;
    }
    waitingCommand_ = std::move(command);
    ShowConnection();
}

void MainWindow::HidePanels()
{
    readPanel_->hide();
    writePanel_->hide();
}

void MainWindow::StartUp()
{
    // 1. Top-left corner of the screen, 12000 × 8595 twips; wait notice hidden.
    move(0, 0);
    resize(TwipsToPixels(WindowWidthTwips) - FrameAllowancePx, TwipsToPixels(WindowHeightTwips) - TitleAllowancePx);
    waitNotice_->hide();
    // 2.-5. Settings folder and file, language, start directory.
    const FileStatus settings = ReadStartupSettings(program_, services_.settingsPath);
    const FileContent picture = ReadBackgroundPicture(services_.settingsPath);
    // An undecodable picture leaves the plain background, silently.
    client_->SetPicture(picture.status ? QPixmap::fromImage(QImage::fromData(picture.content)) : QPixmap());
    // 6. Captions.
    LoadMainTexts();
    // Files of the configuration folder that are no regular files or too
    // large were not read: the operator learns which, before the port opens.
    for (const FileStatus& refused : {settings, program_.Ports.LoadStatus(), picture.status}) {
        if (!refused && refused.fault != FileFault::Missing)
            services_.messages.Show(CatalogueText(Text::NotUsedAtStartUp, program_.LanguageOffset)
                                        + QStringLiteral("\n") + FileStatusText(refused, program_.LanguageOffset),
                                    TableText(program_, Text::StartUpTitle), Messages::Buttons::Ok, this);
    }
    // 7. The serial interface; when none opens, the program goes on with the
    // port closed so that files can still be edited. The terminal opens on
    // the port the settings chose, and the program keeps the one that opened.
    SessionState& terminal = session_->State();
    terminal.PortNumber = program_.ChosenPort;
    OpenPortAtStartUp(terminal, services_.link, services_.messages);
    program_.ChosenPort = terminal.PortNumber;
    ShowConnection();
    // 8. Panels hidden, no read yet.
    HidePanels();
    terminal.TerminalRead = 0;
    identificationLabel_->setText(TableText(program_, Text::NoIdentification));
    ShowProgress();
    // 9. The language window one second later.
    languageOfferTimer_->Start();
}

void MainWindow::OfferLanguageWindow()
{
    languageOfferTimer_->Stop();
    {
        LanguageWindow window(program_, services_.settingsPath, this);
        RunModal(window);
    }
    LoadMainTexts();
}

void MainWindow::LoadMainTexts()
{
    LoadWindowTexts(program_, TextWindow::Main);
    auto t = [this](TextNumber id) { return TableText(program_, id); };
    setWindowTitle(t(Text::MainWindowTitle));
    identificationLabel_->setText(t(Text::NoIdentification));
    fileMenu_->setTitle(t(Text::FileMenu));
    loadAction_->setText(t(Text::LoadItem));
    exitAction_->setText(t(Text::ExitItem));
    terminalMenu_->setTitle(t(Text::VardeloMenu));
    readAction_->setText(t(Text::ReadItem));
    writeAction_->setText(t(Text::WriteItem));
    resetAction_->setText(t(Text::ResetItem));
    waitFrame_->setTitle(t(Text::ReadStateFrame));
    interfaceAction_->setText(t(Text::InterfaceItem));
    identificationFrame_->setTitle(t(Text::IdentificationFrame));
    writePanel_->setTitle(t(Text::WritePanelFrame));
    writeButton_->setText(t(Text::WriteFileButton));
    writeCancelButton_->setText(t(Text::WriteCancelButton));
    writeFileFrame_->setTitle(t(Text::SelectedFileFrame));
    sendFrame_->setTitle(t(Text::SendProgressFrame));
    replyFrame_->setTitle(t(Text::ReplyProgressFrame));
    readPanel_->setTitle(t(Text::ReadPanelFrame));
    readButton_->setText(t(Text::ReadButton));
    readCancelButton_->setText(t(Text::ReadCancelButton));
    connectionCheck_->setText(t(Text::ConnectionCheck));
    passwordCheck_->setText(t(Text::PasswordCheck));
    finishedCheck_->setText(t(Text::FinishedCheck));
    helpMenu_->setTitle(t(Text::HelpMenu));
    siteAction_->setText(CatalogueText(Text::SiteItem, program_.LanguageOffset));
    ShowProgress();
    ShowConnection();
    if (LanguageLoaded)
        LanguageLoaded(program_.LanguageOffset);
}

QColor MainWindow::ButtonColour(const QPushButton* button)
{
    return button->property("sequenceColour").value<QColor>();
}

void MainWindow::SetButtonColour(QPushButton* button, bool running)
{
    const QColor colour = running ? RunningColour : StartableColour;
    button->setProperty("sequenceColour", colour);
    // The caption stays dark on both colours, also while the button is
    // disabled, so that it can be read on red.
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black; padding: 0px; font: 8pt \"Arial\";"
                                         " border: 1px solid #606060; border-radius: 2px; }"
                                         "QPushButton:disabled { color: #202020; border-color: #909090; }"
                                         "QPushButton:focus { border: 2px solid #303030; }")
                              .arg(colour.name()));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(32, 32, 32));
    button->setPalette(palette);
}

void MainWindow::RunModal(QDialog& dialog)
{
    if (ShowModal)
        ShowModal(dialog);
    else
        dialog.exec();
}

void MainWindow::LoadCommand()
{
    const FileDialogRequest request{TableText(program_, Text::LoadFileName), TableText(program_, Text::LoadFileFilter), TableText(program_, Text::LoadFileTitle),
                                    program_.StartDirectory};
    if (const std::optional<QString> name = services_.files.Open(request, this))
        LoadAndEdit(*name);
}

void MainWindow::LoadAndEdit(const QString& name)
{
    EditAfterLoad = true;
    if (LoadConfigFile(program_, m_, name, services_.messages) != LoadOutcome::Loaded) {
        EditAfterLoad = false;
        return;
    }
    m_.CurrentConfigFile = name;
    writeButton_->setEnabled(true);
    SetButtonColour(writeButton_, false);
    if (EditAfterLoad) {
        EditAfterLoad = false;
        if (OpenEditor)
            OpenEditor(true);
    }
}

void MainWindow::ShowReadPanel()
{
    readPanel_->show();
    writePanel_->hide();
    connectionCheck_->setChecked(false);
    passwordCheck_->setChecked(false);
    finishedCheck_->setChecked(false);
    readButton_->show();
    readButton_->setFocus();
}

void MainWindow::StartRead()
{
    WhenLinkReady([this] { session_->Read().Start([this] { return AskPassword(); }); });
}

PasswordEntry MainWindow::AskPassword()
{
    // A read stops when the dialog opens; here none runs (its button is
    // disabled while one does), so there is nothing to stop.
    PasswordDialog dialog(program_, services_.messages, [this] { StopRunningRead(); }, this);
    RunModal(dialog);
    return dialog.Result();
}

void MainWindow::WriteCommand()
{
    readPanel_->hide();
    writeFileLabel_->clear();
    if (!session_->Write().CheckReadDone())
        return;
    const FileDialogRequest request{TableText(program_, Text::WriteFileName),
                                    TableText(program_, Text::WriteFileFilter),
                                    TableText(program_, Text::WriteFileTitle), program_.StartDirectory};
    const std::optional<QString> name = services_.files.Open(request, this);
    if (!name)
        return;
    if (LoadConfigFile(program_, m_, *name, services_.messages) != LoadOutcome::Loaded)
        return;
    m_.CurrentConfigFile = *name;
    writeFileLabel_->setText(*name);
    ShowWriteChanges(*name);
    writeButton_->show();
    writeButton_->setEnabled(true);
    SetButtonColour(writeButton_, false);
    writePanel_->show();
    EditAfterLoad = false;
    sendBar_->setValue(0);
    replyBar_->setValue(0);
}

void MainWindow::StartWrite()
{
    WhenLinkReady([this] { session_->Write().Start(ImageBlock(m_)); });
}

void MainWindow::ResetCommand()
{
    HidePanels();
    WhenLinkReady([this] { session_->Reset().Start(); });
}

const SerialDevices& MainWindow::Devices()
{
    if (services_.devices)
        return *services_.devices;
    if (!systemDevices_)
        systemDevices_ = std::make_unique<SystemSerialDevices>();
    return *systemDevices_;
}

void MainWindow::InterfaceCommand()
{
    InterfaceDialog* shown = nullptr;
    // The dialog chooses the program's port; the terminal opens on it and
    // the program keeps the one it fell back to.
    const auto reopen = [this, &shown] {
        SessionState& terminal = session_->State();
        terminal.PortNumber = program_.ChosenPort;
        OpenSelectedPort(terminal, services_.link, services_.messages, [&shown](int port) {
            if (shown)
                shown->PortButton(port - 1)->setChecked(true);
        });
        program_.ChosenPort = terminal.PortNumber;
        // A command that waited for the port before is not one for this one.
        waitingCommand_ = nullptr;
        connectionProblem_.clear();
        ShowConnection();
    };
    const auto describe = [this](int port) {
        return PortStandsFor(port, services_.link.TargetOf(port), Devices(), program_.LanguageOffset);
    };
    InterfaceDialog dialog(program_, services_.settingsPath, reopen, describe, services_.messages, this);
    shown = &dialog;
    RunModal(dialog);
    ShowProgress();
}

void MainWindow::SiteCommand()
{
    const int language = program_.LanguageOffset;
    const FileDialogRequest request{QString(), CatalogueText(Text::SiteFileFilter, language),
                                    CatalogueText(Text::SiteOpenTitle, language), program_.StartDirectory};
    const std::optional<QString> name = services_.files.Open(request, this);
    if (!name)
        return;
    const SiteFileRead read = ReadSiteFile(*name, [](const QString& afterSim) {
        QString error;
        return ParseSimulationOptions(afterSim, &error) ? QString() : error;
    });
    if (!read) {
        services_.messages.Show(SiteFileMessage(read, *name, language), TableText(program_, Text::StartUpTitle),
                                Messages::Buttons::Ok, this);
        return;
    }
    // The site's terminals may hang on this window's port: it is let go
    // while the site window is open, and taken again after.
    SerialLink& link = services_.link;
    const bool portWasOpen = link.IsOpen();
    link.Close();
    {
        SiteWindow window(program_, read.site,
                          {services_.messages, services_.timers, &Devices(), services_.storeSiteReadsOnThreads,
                           &services_.files},
                          this);
        window.ShowModal = ShowModal;
        window.OpenInEditor = [this](const QString& file) { LoadAndEdit(file); };
        RunModal(window);
        // The terminal on this port may be one that was written: what this
        // window read of it before is no base for a write any more.
        if (window.AnyWritten())
            session_->State().TerminalRead = 0;
    }
    if (portWasOpen && !link.Open())
        services_.messages.Show(PortFailedMessage(program_, Text::PortBusy, {link.OpenFailure()}), SequenceText(program_, Text::PortBusyTitle),
                                Messages::Buttons::Ok, this);
    ShowProgress();
}

void MainWindow::StopRunningRead()
{
    if (session_->Read().IsRunning())
        session_->Read().Abort();
}

void MainWindow::OpenEditorWindow(bool /*loadedFile*/)
{
    // The panels and their start buttons go as the editor opens, also when it
    // then refuses its file.
    HidePanels();
    readButton_->hide();
    writeButton_->hide();
    // The editor names its file itself, in one form for a read and a load.
    EditorWindow editor(program_, m_, services_.messages, services_.files, this);
    connect(&editor, &EditorWindow::PasswordDialogOpening, this, &MainWindow::StopRunningRead);
    if (!editor.Loaded())
        return;
    RunModal(editor);
}

void MainWindow::ShowMakerAddress()
{
    // The file dialogs may have moved the current directory; a following read
    // writes its file in the start directory again.
    QDir::setCurrent(program_.StartDirectory);
    services_.messages.Show(MakerWebAddress(services_.settingsPath), MakerMessageTitle, Messages::Buttons::Ok, this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // ...ToParent: sent when the panel is shown or hidden, also while the
    // window itself is not on screen.
    if (watched == writePanel_ && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        changesFrame_->setVisible(event->type() == QEvent::ShowToParent && !changesSummary_->text().isEmpty());
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ShowWriteChanges(const QString& file)
{
    changeLines_.clear();
    changesSummary_->clear();
    changesFrame_->hide();
    recorder_->SetWriteFile(file);
    const ReadStorage* read = session_->Read().LastRead();
    ConfigSnapshot chosen;
    if (!read || !LoadSnapshot(file, chosen))
        return;
    ConfigDifference difference = CompareConfigurations(read->read, chosen);
    // Comments are not in the terminal: a write does not change them.
    difference.comments.clear();
    changesFrame_->setTitle(ChangeText(Text::ChangeSummaryTitle, program_.LanguageOffset));
    changesDetails_->setText(ChangeText(Text::ChangeDetailsButton, program_.LanguageOffset));
    changesSummary_->setText(SummarizeChanges(difference, program_.LanguageOffset).join(u'\n'));
    changeLines_ = DescribeChanges(difference, program_.LanguageOffset);
    changesDetails_->setEnabled(!changeLines_.isEmpty());
}

void MainWindow::ShowChangeDetails()
{
    ChangeDetailsDialog dialog(changeLines_, program_.LanguageOffset, this);
    RunModal(dialog);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Whatever runs stops, and the terminal's control lines are left off.
    session_->Shutdown();
    event->accept();
}
