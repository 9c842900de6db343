#include "comm/ui/mainwindow.h"

#include "app/catalogue.h"
#include "app/mainflow.h"
#include "app/ui/languagewindow.h"
#include "comm/ui/backgroundwidget.h"
#include "comm/ui/displaycheckbox.h"
#include "comm/ui/interfacedialog.h"
#include "comm/ui/pathlabel.h"
#include "comm/ui/twipsrect.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"

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

using twipsrect::Px;
using twipsrect::Rect;

namespace {

// Outer size of the window in twips; the client area is what remains inside
// the title bar and the borders.
constexpr int WindowWidthTwips = 12000;
constexpr int WindowHeightTwips = 8595;
constexpr int FrameAllowancePx = 8;       // left and right borders together
constexpr int TitleAllowancePx = 30;      // title bar and lower border

const QColor IdentificationColour(13, 86, 178);
const QColor StartableColour(0, 255, 0);
const QColor RunningColour(255, 0, 0);

// The banner names the terminal family; it is the same in every language.
const QString BannerText = QStringLiteral("VARDELO Zutrittsterminal\nStand-alone-Betrieb");

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

// Runs a window modally until it is hidden or destroyed; dialogs use their own loop.
void ExecModally(QWidget& window)
{
    if (auto* dialog = qobject_cast<QDialog*>(&window)) {
        dialog->exec();
        return;
    }
    window.setWindowModality(Qt::ApplicationModal);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QEventLoop loop;
    struct HideWatcher : QObject {
        QEventLoop* loop;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide || e->type() == QEvent::Close)
                loop->quit();
            return false;
        }
    } watcher;
    watcher.loop = &loop;
    window.installEventFilter(&watcher);
    QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
    window.removeEventFilter(&watcher);
}

} // namespace

MainWindow::MainWindow(Vardelomod& m, Services services, QWidget* parent)
    : QMainWindow(parent), m_(m), services_(std::move(services))
{
    setObjectName(QStringLiteral("vardelo1"));
    client_ = new BackgroundWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    BuildMenus();
    BuildPanels();
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
}

void MainWindow::BuildPanels()
{
    frame3_ = Frame(QStringLiteral("Frame3"), client_, Rect(9360, 120, 2175, 615));
    label1_ = new QLabel(frame3_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(Rect(120, 240, 1935, 255));
    QPalette identification = label1_->palette();
    identification.setColor(QPalette::WindowText, IdentificationColour);
    label1_->setPalette(identification);
    // Six blanks and sixteen characters must fit the narrow frame.
    QFont small = label1_->font();
    small.setPointSize(8);
    label1_->setFont(small);

    label5_ = new QLabel(BannerText, client_);
    label5_->setObjectName(QStringLiteral("Label5"));
    QRect banner = Rect(5520, 1320, 6975, 855);
    // The banner's place reaches past the client area's right edge; it ends
    // at the edge instead so that no line is cut.
    banner.setRight(std::min(banner.right(), Px(WindowWidthTwips) - FrameAllowancePx - 12));
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
    frame1_ = Frame(QStringLiteral("Frame1"), client_, Rect(480, 4920, 10935, 1455));
    taste1_ = Button(QStringLiteral("Taste1"), frame1_, Rect(240, 360, 2175, 375));
    command2_ = Button(QStringLiteral("Command2"), frame1_, Rect(240, 840, 2175, 375));
    frame8_ = Frame(QStringLiteral("Frame8"), frame1_, Rect(3000, 240, 1935, 975));
    text2_ = new QLineEdit(frame8_);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setGeometry(Rect(120, 360, 1695, 375));
    text2_->setReadOnly(true);
    text2_->setFocusPolicy(Qt::NoFocus);
    text2_->setAlignment(Qt::AlignCenter);
    const int checkLeft[] = {5400, 7200, 8880};
    DisplayCheckBox** checks[] = {&ch1_, &ch2_, &ch3_};
    for (int i = 0; i < 3; ++i) {
        *checks[i] = new DisplayCheckBox(frame1_);
        (*checks[i])->setObjectName(QStringLiteral("Ch%1").arg(i + 1));
        (*checks[i])->setGeometry(Rect(checkLeft[i], 480, i < 2 ? 1680 : 1935, 375));
    }

    // Write panel, in the same place.
    frame2_ = Frame(QStringLiteral("Frame2"), client_, Rect(480, 4920, 10935, 1575));
    taste2_ = Button(QStringLiteral("taste2"), frame2_, Rect(360, 480, 2175, 375));
    command1_ = Button(QStringLiteral("Command1"), frame2_, Rect(360, 960, 2175, 375));
    frame4_ = Frame(QStringLiteral("Frame4"), frame2_, Rect(2760, 360, 3975, 975));
    label2_ = new PathLabel(frame4_);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setGeometry(Rect(120, 360, 3735, 375));
    frame5_ = Frame(QStringLiteral("Frame5"), frame2_, Rect(6960, 360, 2055, 975));
    flatScrollBar1_ = new QProgressBar(frame5_);
    flatScrollBar1_->setObjectName(QStringLiteral("FlatScrollBar1"));
    flatScrollBar1_->setGeometry(Rect(120, 420, 1815, 300));
    flatScrollBar1_->setRange(0, 2046);
    flatScrollBar1_->setTextVisible(false);
    frame6_ = Frame(QStringLiteral("Frame6"), frame2_, Rect(9120, 360, 1695, 975));
    flatScrollBar2_ = new QProgressBar(frame6_);
    flatScrollBar2_->setObjectName(QStringLiteral("FlatScrollBar2"));
    flatScrollBar2_->setGeometry(Rect(120, 420, 1455, 300));
    flatScrollBar2_->setRange(0, 2045);
    flatScrollBar2_->setTextVisible(false);

    connect(command2_, &QPushButton::clicked, frame1_, &QWidget::hide);
    connect(command1_, &QPushButton::clicked, frame2_, &QWidget::hide);
}

void MainWindow::StartUp()
{
    // 1. Top-left corner of the screen, 12000 × 8595 twips; wait notice hidden.
    move(0, 0);
    resize(Px(WindowWidthTwips) - FrameAllowancePx, Px(WindowHeightTwips) - TitleAllowancePx);
    text2_->hide();
    // 2.-5. Settings folder and file, language, start directory.
    ReadStartupSettings(m_, services_.settingsPath);
    // 6. Captions.
    LoadMainTexts();
    // 7. The serial interface.
    // 8. Panels hidden, no read yet.
    frame1_->hide();
    frame2_->hide();
    m_.TerminalRead = 0;
    label1_->setText(TableText(m_, 128));
    // 9. The language window one second later.
}

void MainWindow::LoadMainTexts()
{
    LoadWindowTexts(m_, TextWindow::Main);
    auto t = [this](int id) { return TableText(m_, id); };
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
    // A missing or unreadable picture leaves the plain background, silently.
    client_->SetPicture(QPixmap(BackgroundPicturePath(services_.settingsPath)));
}

QColor MainWindow::ButtonColour(const QPushButton* button)
{
    return button->property("sequenceColour").value<QColor>();
}

void MainWindow::SetButtonColour(QPushButton* button, bool running)
{
    const QColor colour = running ? RunningColour : StartableColour;
    button->setProperty("sequenceColour", colour);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                         " border: 1px solid #606060; border-radius: 2px; }"
                                         "QPushButton:disabled { color: #505050; }")
                              .arg(colour.name()));
}

void MainWindow::RunModal(QWidget& window)
{
    if (ShowModal)
        ShowModal(window);
    else
        ExecModally(window);
}

void MainWindow::LoadCommand()
{
    const FileDialogRequest request{TableText(m_, 131), TableText(m_, 132), TableText(m_, 133), m_.StartDirectory};
    const std::optional<QString> name = services_.files.Open(request, this);
    if (!name)
        return;
    m_.EditAfterLoad = true;
    if (LoadConfigFile(m_, *name, services_.messages) != LoadOutcome::Loaded) {
        m_.EditAfterLoad = false;
        return;
    }
    m_.CurrentConfigFile = *name;
    taste2_->setEnabled(true);
    SetButtonColour(taste2_, false);
    if (m_.EditAfterLoad) {
        m_.EditAfterLoad = false;
        frame1_->hide();
        frame2_->hide();
        if (OpenEditor)
            OpenEditor();
    }
}

void MainWindow::ShowMakerAddress()
{
    // The file dialogs may have moved the current directory; a following read
    // writes its file in the start directory again.
    QDir::setCurrent(m_.StartDirectory);
    services_.messages.Show(MakerWebAddress(services_.settingsPath), MakerMessageTitle, Messages::Buttons::Ok, this);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
}
