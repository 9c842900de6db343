#include "app/ui/mainwindow.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
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


namespace TextId {
constexpr int PleaseWait = 526;
}

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
        services_.messages.Show(SequenceText(program_, 342).arg(problem), TableText(program_, 136),
                                Messages::Buttons::Ok, this);
    });
    ConnectSequences();
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->addWidget(statusLine_, 1);
    statusBar()->setSizeGripEnabled(false);
    client_->setMinimumSize(TwipsToPixels(PanelsRightTwips + PanelMarginTwips),
                            TwipsToPixels(PanelsBottomTwips + PanelMarginTwips));
    monitor_ = std::make_unique<TransferMonitor>(*session_, services_.timers, StatusIntervalMs);
    connect(monitor_.get(), &TransferMonitor::Changed, this, &MainWindow::ShowProgress);
    timer5_ = services_.timers.CreateTimer(Timing::StartUpDelayMs);
    connect(timer5_.get(), &PeriodicTimer::Tick, this, &MainWindow::OfferLanguageWindow);
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
    mnudatei_ = menuBar()->addMenu(QString());
    mnudatei_->setObjectName(QStringLiteral("mnudatei"));
    mnuladen_ = action(mnudatei_, QStringLiteral("mnuladen"));
    mnuBeenden_ = action(mnudatei_, QStringLiteral("mnuBeenden"));

    mnuvardelo_ = menuBar()->addMenu(QString());
    mnuvardelo_->setObjectName(QStringLiteral("mnuvardelo"));
    mnuauslesen_ = action(mnuvardelo_, QStringLiteral("mnuauslesen"));
    mnubeschreiben_ = action(mnuvardelo_, QStringLiteral("mnubeschreiben"));
    mres_ = action(mnuvardelo_, QStringLiteral("mres"));
    mnuschnittst_ = action(mnuvardelo_, QStringLiteral("mnuschnittst"));
    mnuvardelo_->addSeparator();
    siteAction_ = action(mnuvardelo_, QStringLiteral("mnustandort"));

    mnuhelp_ = menuBar()->addMenu(QString());
    mnuhelp_->setObjectName(QStringLiteral("mnuhelp"));
    // The three help items keep these captions in every language.
    const std::pair<const char*, const char*> helpItems[] = {
        {"mnusoft", "&Software"}, {"mnuinst", "&Installation"}, {"mnualarm", "&Alarmmodul"}};
    for (const auto& [name, caption] : helpItems) {
        QAction* a = action(mnuhelp_, QString::fromLatin1(name));
        a->setText(QString::fromLatin1(caption));
        connect(a, &QAction::triggered, this, &MainWindow::ShowMakerAddress);
    }

    connect(mnuladen_, &QAction::triggered, this, &MainWindow::LoadCommand);
    connect(mnuBeenden_, &QAction::triggered, this, &QWidget::close);
    connect(mnuauslesen_, &QAction::triggered, this, &MainWindow::ShowReadPanel);
    connect(mnubeschreiben_, &QAction::triggered, this, &MainWindow::WriteCommand);
    connect(mres_, &QAction::triggered, this, &MainWindow::ResetCommand);
    connect(mnuschnittst_, &QAction::triggered, this, &MainWindow::InterfaceCommand);
    connect(siteAction_, &QAction::triggered, this, &MainWindow::SiteCommand);
}

void MainWindow::BuildPanels()
{
    frame3_ = Frame(QStringLiteral("Frame3"), client_, TwipsRect(9360, 120, 2175, 615));
    label1_ = new QLabel(frame3_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(TwipsRect(120, 240, 1935, 255));
    QPalette identification = label1_->palette();
    identification.setColor(QPalette::WindowText, IdentificationColour);
    label1_->setPalette(identification);

    label5_ = new QLabel(BannerText, client_);
    label5_->setObjectName(QStringLiteral("Label5"));
    QRect banner = TwipsRect(5520, 1320, 6975, 855);
    // The banner's place reaches past the client area's right edge; it ends
    // at the edge instead so that no line is cut.
    banner.setRight(std::min(banner.right(), TwipsToPixels(WindowWidthTwips) - FrameAllowancePx - 12));
    label5_->setGeometry(banner);
    QFont bannerFont = label5_->font();
    bannerFont.setPointSize(14);
    bannerFont.setBold(true);
    label5_->setFont(bannerFont);
    QPalette bannerPalette = label5_->palette();
    bannerPalette.setColor(QPalette::WindowText, IdentificationColour);
    label5_->setPalette(bannerPalette);
    label5_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Read panel.
    frame1_ = Frame(QStringLiteral("Frame1"), client_, TwipsRect(480, 4920, 10935, 1455));
    taste1_ = Button(QStringLiteral("Taste1"), frame1_, TwipsRect(240, 360, 2175, 375));
    command2_ = Button(QStringLiteral("Command2"), frame1_, TwipsRect(240, 840, 2175, 375));
    frame8_ = Frame(QStringLiteral("Frame8"), frame1_, TwipsRect(3000, 240, 1935, 975));
    text2_ = new QLineEdit(frame8_);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setGeometry(TwipsRect(120, 360, 1695, 375));
    text2_->setReadOnly(true);
    text2_->setFocusPolicy(Qt::NoFocus);
    text2_->setAlignment(Qt::AlignCenter);
    const int checkLeft[] = {5400, 7200, 8880};
    DisplayCheckBox** checks[] = {&ch1_, &ch2_, &ch3_};
    for (int i = 0; i < 3; ++i) {
        *checks[i] = new DisplayCheckBox(frame1_);
        (*checks[i])->setObjectName(QStringLiteral("Ch%1").arg(i + 1));
        (*checks[i])->setGeometry(TwipsRect(checkLeft[i], 480, i < 2 ? 1680 : 1935, 375));
    }

    // Write panel, in the same place.
    frame2_ = Frame(QStringLiteral("Frame2"), client_, TwipsRect(480, 4920, 10935, 1575));
    taste2_ = Button(QStringLiteral("taste2"), frame2_, TwipsRect(360, 480, 2175, 375));
    command1_ = Button(QStringLiteral("Command1"), frame2_, TwipsRect(360, 960, 2175, 375));
    frame4_ = Frame(QStringLiteral("Frame4"), frame2_, TwipsRect(2760, 360, 3975, 975));
    label2_ = new PathLabel(frame4_);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setGeometry(TwipsRect(120, 360, 3735, 375));
    frame5_ = Frame(QStringLiteral("Frame5"), frame2_, TwipsRect(6960, 360, 2055, 975));
    flatScrollBar1_ = new QProgressBar(frame5_);
    flatScrollBar1_->setObjectName(QStringLiteral("FlatScrollBar1"));
    flatScrollBar1_->setGeometry(TwipsRect(120, 420, 1815, 300));
    flatScrollBar1_->setRange(0, Timing::SendProgressEnd);
    flatScrollBar1_->setTextVisible(false);
    frame6_ = Frame(QStringLiteral("Frame6"), frame2_, TwipsRect(9120, 360, 1695, 975));
    flatScrollBar2_ = new QProgressBar(frame6_);
    flatScrollBar2_->setObjectName(QStringLiteral("FlatScrollBar2"));
    flatScrollBar2_->setGeometry(TwipsRect(120, 420, 1455, 300));
    flatScrollBar2_->setRange(0, Timing::ReplyProgressEnd);
    flatScrollBar2_->setTextVisible(false);

    // The change summary stands above the write panel and goes with it.
    changesFrame_ = Frame(QStringLiteral("WriteChanges"), client_, TwipsRect(480, 2520, 10935, 2280));
    changesSummary_ = new QLabel(changesFrame_);
    changesSummary_->setObjectName(QStringLiteral("ChangeSummary"));
    changesSummary_->setGeometry(TwipsRect(240, 300, 7800, 1860));
    changesSummary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    changesDetails_ = Button(QStringLiteral("ChangeDetails"), changesFrame_, TwipsRect(8400, 360, 2175, 375));
    connect(changesDetails_, &QPushButton::clicked, this, &MainWindow::ShowChangeDetails);
    changesFrame_->hide();
    frame2_->installEventFilter(this);

    connect(command2_, &QPushButton::clicked, frame1_, &QWidget::hide);
    connect(command1_, &QPushButton::clicked, frame2_, &QWidget::hide);
    connect(taste1_, &QPushButton::clicked, this, &MainWindow::StartRead);
    connect(taste2_, &QPushButton::clicked, this, &MainWindow::StartWrite);
    SetButtonColour(taste1_, false);
    SetButtonColour(taste2_, false);
}

void MainWindow::ConnectSequences()
{
    ReadSequence& read = session_->Read();
    connect(&read, &ReadSequence::ChecksChanged, this, [this](bool connection, bool password, bool done) {
        ch1_->setChecked(connection);
        ch2_->setChecked(password);
        ch3_->setChecked(done);
    });
    connect(&read, &ReadSequence::RunningChanged, this, [this](bool running) {
        SetButtonColour(taste1_, running);
        taste1_->setEnabled(!running);
        command2_->setEnabled(!running);
        text2_->setText(running ? SequenceText(program_, TextId::PleaseWait) : QString());
        text2_->setVisible(running);
    });
    connect(&read, &ReadSequence::IdentificationChanged, label1_, &QLabel::setText);
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
            SetButtonColour(taste2_, true);
            taste2_->setEnabled(false);
        }
        command1_->setEnabled(!running);
    });
    connect(&write, &WriteSequence::IdentificationChanged, label1_, &QLabel::setText);
    connect(&write, &WriteSequence::PanelHideRequested, this, [this] {
        taste2_->hide();
        frame2_->hide();
    });

    ResetSequence& reset = session_->Reset();
    connect(&reset, &ResetSequence::PanelsHideRequested, this, &MainWindow::HidePanels);
    connect(&reset, &ResetSequence::IdentificationChanged, label1_, &QLabel::setText);

    // While a sequence runs, the commands that would disturb it are unavailable.
    connect(session_.get(), &TerminalSession::BusyChanged, this, [this](bool busy) {
        for (QAction* a : {mnuladen_, mnuauslesen_, mnubeschreiben_, mres_, mnuschnittst_, siteAction_})
            a->setEnabled(!busy);
    });
}

void MainWindow::ShowProgress()
{
    const TransferProgress progress = monitor_->Current();
    statusLine_->setText(StatusLineText(program_, progress, monitor_->Next()));
    const WriteBars bars = WriteBarsFor(progress);
    for (const auto& [bar, value] : {std::pair{flatScrollBar1_, bars.send}, std::pair{flatScrollBar2_, bars.reply}}) {
        if (bar->value() == value)
            continue;
        bar->setValue(value);
        // A bar repaints by itself only after a change of a whole chunk
        // width (about a tenth of these narrow bars); it shows each count
        // the status line shows.
        bar->update();
    }
}

void MainWindow::HidePanels()
{
    frame1_->hide();
    frame2_->hide();
}

void MainWindow::StartUp()
{
    // 1. Top-left corner of the screen, 12000 × 8595 twips; wait notice hidden.
    move(0, 0);
    resize(TwipsToPixels(WindowWidthTwips) - FrameAllowancePx, TwipsToPixels(WindowHeightTwips) - TitleAllowancePx);
    text2_->hide();
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
            services_.messages.Show(CatalogueText(FileText::NotUsedAtStartUp, program_.LanguageOffset)
                                        + QStringLiteral("\n") + FileStatusText(refused, program_.LanguageOffset),
                                    TableText(program_, 130), Messages::Buttons::Ok, this);
    }
    // 7. The serial interface; when none opens, the program goes on with the
    // port closed so that files can still be edited. The terminal opens on
    // the port the settings chose, and the program keeps the one that opened.
    SessionState& terminal = session_->State();
    terminal.PortNumber = program_.ChosenPort;
    OpenPortAtStartUp(terminal, services_.link, services_.messages);
    program_.ChosenPort = terminal.PortNumber;
    // 8. Panels hidden, no read yet.
    HidePanels();
    terminal.TerminalRead = 0;
    label1_->setText(TableText(program_, 128));
    ShowProgress();
    // 9. The language window one second later.
    timer5_->Start();
}

void MainWindow::OfferLanguageWindow()
{
    timer5_->Stop();
    {
        LanguageWindow window(program_, services_.settingsPath, this);
        RunModal(window);
    }
    LoadMainTexts();
}

void MainWindow::LoadMainTexts()
{
    LoadWindowTexts(program_, TextWindow::Main);
    auto t = [this](int id) { return TableText(program_, id); };
    setWindowTitle(t(103));
    label1_->setText(t(128));
    mnudatei_->setTitle(t(104));
    mnuladen_->setText(t(105));
    mnuBeenden_->setText(t(106));
    mnuvardelo_->setTitle(t(107));
    mnuauslesen_->setText(t(108));
    mnubeschreiben_->setText(t(109));
    mres_->setText(t(110));
    frame8_->setTitle(t(111));
    mnuschnittst_->setText(t(112));
    frame3_->setTitle(t(113));
    frame2_->setTitle(t(114));
    taste2_->setText(t(115));
    command1_->setText(t(116));
    frame4_->setTitle(t(117));
    frame5_->setTitle(t(118));
    frame6_->setTitle(t(119));
    frame1_->setTitle(t(120));
    taste1_->setText(t(121));
    command2_->setText(t(122));
    ch1_->setText(t(123));
    ch2_->setText(t(124));
    ch3_->setText(t(125));
    mnuhelp_->setTitle(t(134));
    siteAction_->setText(CatalogueText(SiteWindowText::MenuEntry, program_.LanguageOffset));
    ShowProgress();
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
    const FileDialogRequest request{TableText(program_, 131), TableText(program_, 132), TableText(program_, 133),
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
    taste2_->setEnabled(true);
    SetButtonColour(taste2_, false);
    if (EditAfterLoad) {
        EditAfterLoad = false;
        if (OpenEditor)
            OpenEditor(true);
    }
}

void MainWindow::ShowReadPanel()
{
    frame1_->show();
    frame2_->hide();
    ch1_->setChecked(false);
    ch2_->setChecked(false);
    ch3_->setChecked(false);
    taste1_->show();
    taste1_->setFocus();
}

void MainWindow::StartRead()
{
    session_->Read().Start([this] { return AskPassword(); });
}

PasswordEntry MainWindow::AskPassword()
{
    // The dialog switches off the read timer when it opens; here no read
    // runs (its button is disabled while one does), so there is nothing to stop.
    PasswordDialog dialog(program_, services_.messages, [this] {
        if (session_->Read().IsRunning())
            session_->Read().Abort();
    }, this);
    RunModal(dialog);
    return dialog.Result();
}

void MainWindow::WriteCommand()
{
    frame1_->hide();
    label2_->clear();
    if (!session_->Write().CheckReadDone())
        return;
    const FileDialogRequest request{TableText(program_, 137), TableText(program_, 138), TableText(program_, 139),
                                    program_.StartDirectory};
    const std::optional<QString> name = services_.files.Open(request, this);
    if (!name)
        return;
    if (LoadConfigFile(program_, m_, *name, services_.messages) != LoadOutcome::Loaded)
        return;
    m_.CurrentConfigFile = *name;
    label2_->setText(*name);
    ShowWriteChanges(*name);
    taste2_->show();
    taste2_->setEnabled(true);
    SetButtonColour(taste2_, false);
    frame2_->show();
    EditAfterLoad = false;
    flatScrollBar1_->setValue(0);
    flatScrollBar2_->setValue(0);
}

void MainWindow::StartWrite()
{
    session_->Write().Start(ImageBlock(m_));
}

void MainWindow::ResetCommand()
{
    HidePanels();
    session_->Reset().Start();
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
    };
    const auto describe = [this](int port) {
        return PortStandsFor(port, services_.link.TargetOf(port), Devices(), program_.LanguageOffset);
    };
    InterfaceDialog dialog(program_, services_.settingsPath, reopen, describe, this);
    shown = &dialog;
    RunModal(dialog);
    ShowProgress();
}

void MainWindow::SiteCommand()
{
    const int language = program_.LanguageOffset;
    const FileDialogRequest request{QString(), CatalogueText(SiteWindowText::FileFilter, language),
                                    CatalogueText(SiteWindowText::OpenTitle, language), program_.StartDirectory};
    const std::optional<QString> name = services_.files.Open(request, this);
    if (!name)
        return;
    const SiteFileRead read = ReadSiteFile(*name, [](const QString& afterSim) {
        QString error;
        return ParseSimulationOptions(afterSim, &error) ? QString() : error;
    });
    if (!read) {
        services_.messages.Show(SiteFileMessage(read, *name, language), TableText(program_, 130),
                                Messages::Buttons::Ok, this);
        return;
    }
    // The site's terminals may hang on this window's port: it is let go
    // while the site window is open, and taken again after.
    SerialLink& link = services_.link;
    const bool portWasOpen = link.IsOpen();
    link.Close();
    {
        SiteWindow window(program_, read.site, {services_.messages, services_.timers, &Devices()}, this);
        window.ShowModal = ShowModal;
        window.OpenInEditor = [this](const QString& file) { LoadAndEdit(file); };
        RunModal(window);
        // The terminal on this port may be one that was written: what this
        // window read of it before is no base for a write any more.
        if (window.AnyWritten())
            session_->State().TerminalRead = 0;
    }
    if (portWasOpen && !link.Open())
        services_.messages.Show(PortFailedMessage(program_, 165, {link.OpenFailure()}), SequenceText(program_, 166),
                                Messages::Buttons::Ok, this);
    ShowProgress();
}

void MainWindow::OpenEditorWindow(bool /*loadedFile*/)
{
    EditorHooks hooks;
    hooks.StopTimer1 = [this] {
        if (session_->Read().IsRunning())
            session_->Read().Abort();
    };
    hooks.HideMainPanels = [this] {
        HidePanels();
        taste1_->hide();
        taste2_->hide();
    };
    // The editor names its file itself, in one form for a read and a load.
    EditorWindow editor(program_, m_, services_.messages, services_.files, this, hooks);
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
    if (watched == frame2_ && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
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
    changesFrame_->setTitle(ChangeText(ChangeTextId::SummaryTitle, program_.LanguageOffset));
    changesDetails_->setText(ChangeText(ChangeTextId::DetailsButton, program_.LanguageOffset));
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
