#include "editor/editorwindow.h"

#include "app/catalogue.h"
#include "app/mainflow.h"
#include "config/configfiles.h"
#include "editor/changecount.h"
#include "editor/displayline.h"
#include "editor/password.h"
#include "editor/rowedit.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"
#include "platform/ui/colours.h"
#include "platform/ui/gridwidget.h"
#include "report/ui/editorreportsource.h"
#include "platform/ui/twips.h"

#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace {

// An option button that reports the operator's press before anything is
// selected and never changes its own state: the editor writes the image on
// the press and ShowSettings then selects from the image, so a press whose
// confirmation is cancelled leaves the old selection standing.
class PressButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    std::function<void()> onPress;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            QRadioButton::mousePressEvent(event);
            return;
        }
        event->accept();
        setFocus(Qt::MouseFocusReason);   // a number box being edited commits first
        if (onPress)
            onPress();
    }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void nextCheckState() override {}
};

// The value of the leading number of a text (blanks skipped), 0 when there is
// none; large values stop growing so that any typed number stays out of range.
int LeadingValue(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    int value = 0;
    for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128; ++i)
        value = qMin(value * 10 + (text.at(i).unicode() - '0'), 1000000);
    return value;
}

bool OwnFocusChange(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// Yes/no settings by O1/O2 index: slot and bit.
struct YesNoBit {
    int slot;
    int mask;
};
YesNoBit YesNoSetting(int index)
{
    if (index == 10)
        return {Slot::TrackFlags, Track::MonitoringModule};
    return {Slot::FeatureFlags, 1 << index};
}
constexpr std::array<int, 8> YesNoIndexes{0, 1, 2, 3, 4, 5, 7, 10};

// Frame number of each yes/no index.
int FrameOfYesNo(int index)
{
    switch (index) {
    case 0: return 2;
    case 1: return 3;
    case 2: return 4;
    case 3: return 5;
    case 4: return 6;
    case 5: return 7;
    case 7: return 9;
    case 10: return 12;
    default: return 0;
    }
}

constexpr int CardLossTextId = 250;
constexpr int FileRefusedTextId = 290;
constexpr int SaveFailedTextId = 291;

// Left edge of the row edit dialog: beside the grid, never over it.
constexpr int RowEditLeftForLeftGrid = 5750;
constexpr int RowEditLeftForRightGrid = 1750;
constexpr int RowEditTop = 3000;

const std::array<int, 5> CommentPad{0, 54, 57, 57, 56};

} // namespace

EditorWindow::EditorWindow(Vardelomod& m, Messages& messages, FileDialogs& fileDialogs, QWidget* parent,
                           EditorHooks hooks)
    : QDialog(parent), m_(m), messages_(messages), fileDialogs_(fileDialogs), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("vardelodatei"));
    LoadWindowTexts(m_, TextWindow::Editor);
    setWindowTitle(TableText(m_, 173));
    BuildWindow();
    previousObserver_ = m_.RowsObserver;
    m_.RowsObserver = this;

    if (hooks_.HideMainPanels)
        hooks_.HideMainPanels();

    const FileStatus read = ReadConfigurationFile(m_, m_.CurrentConfigFile);
    if (!read) {
        messages_.Show(CatalogueText(FileRefusedTextId, m_.LanguageOffset) + m_.CurrentConfigFile,
                       TableText(m_, 253), Messages::Buttons::Ok, parent);
        return;
    }
    LoadComments(m_, m_.CurrentConfigFile);
    loaded_ = true;

    printAction_->setText(TableText(m_, 207));
    move(TwipsPoint(0, 300));
    m_.ChangeCount = -1;
    m_.PasswordAccepted = 0;
    ShowSettings();
    ShowDisplayTexts();
    DecodeLists(m_);
    // The window opens with the tab control focused, not inside a box whose
    // focus would warn or commit.
    tabs_->setFocus();
}

EditorWindow::~EditorWindow()
{
    if (m_.RowsObserver == this)
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
    setFixedSize(TwipsSize(12000, 8200));
    BuildMenu();

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("ST1"));
    tabs_->setGeometry(TwipsRect(100, 500, 11700, 7450));
    for (int tab = 0; tab < 4; ++tab) {
        auto* page = new QWidget;
        tabs_->addTab(page, TableText(m_, 180 + tab));
        auto* container = new QWidget(page);
        container->setObjectName(QStringLiteral("umr%1").arg(tab));
        container->setGeometry(TwipsRect(0, 0, 11640, 7000));
        containers_[tab] = container;
    }
    BuildBasicSettings(containers_[0]);
    BuildGrids(containers_[1], 1);
    BuildGrids(containers_[2], 3);
    BuildDisplayTexts(containers_[3]);
    tabs_->setCurrentIndex(0);
    connect(tabs_, &QTabWidget::currentChanged, this, &EditorWindow::SelectTab);
}

void EditorWindow::BuildMenu()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menubar"));
    fileMenu_ = bar->addMenu(TableText(m_, 174));
    fileMenu_->setObjectName(QStringLiteral("mnudatei"));
    fileMenu_->menuAction()->setObjectName(QStringLiteral("mnudatei"));
    auto add = [this](const char* name, int textId) {
        QAction* action = fileMenu_->addAction(TableText(m_, textId));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(add("mnuspeich", 175), &QAction::triggered, this, [this] { SaveConfiguration(); });
    connect(add("mnuspeichals", 176), &QAction::triggered, this, [this] { SaveConfigurationAs(); });
    printAction_ = add("mnudruck", 177);
    connect(printAction_, &QAction::triggered, this, [this] { PrintCurrentSection(); });
    printAllAction_ = add("mnualldruck", 178);
    connect(printAllAction_, &QAction::triggered, this, [this] { PrintAll(); });
    connect(add("mnubeend", 179), &QAction::triggered, this, &EditorWindow::reject);
    // A number box in edit stores its value before any menu command runs.
    connect(fileMenu_, &QMenu::aboutToShow, this, [this] {
        CommitPendingEntry();
        tabs_->setFocus();
    });
    bar->setGeometry(0, 0, TwipsToPixels(12000), bar->sizeHint().height());
}

QGroupBox* EditorWindow::MakeFrame(QWidget* container, int number, int textId, int column, int row)
{
    static constexpr std::array<int, 3> Lefts{600, 4080, 7560};
    static constexpr std::array<int, 5> Tops{360, 1560, 2760, 3960, 5160};
    auto* frame = new QGroupBox(TableText(m_, textId), container);
    frame->setObjectName(QStringLiteral("Frame%1").arg(number));
    frame->setGeometry(TwipsRect(Lefts[column - 1], Tops[row - 1], 3255, 975));
    frames_[number] = frame;
    return frame;
}

QRadioButton* EditorWindow::MakeOption(QGroupBox* frame, const QString& name, bool yes)
{
    auto* button = new PressButton(TableText(m_, yes ? 187 : 188), frame);
    button->setObjectName(name);
    button->setGeometry(TwipsRect(yes ? 360 : 1800, 420, 1260, 375));
    return button;
}

void EditorWindow::BuildBasicSettings(QWidget* container)
{
    // Frame number, caption, column, row; the yes/no index of its pair (or -1).
    struct FrameLayout {
        int number, textId, column, row, yesNo;
    };
    static constexpr std::array<FrameLayout, 15> Frames{{
        {1, 184, 1, 1, -1}, {2, 186, 1, 2, 0},  {3, 189, 1, 3, 1},  {12, 190, 1, 4, 10}, {15, 191, 1, 5, -1},
        {5, 192, 2, 1, 3},  {4, 193, 2, 2, 2},  {7, 194, 2, 3, 5},  {10, 195, 2, 4, -1}, {11, 196, 2, 5, -1},
        {9, 197, 3, 1, 7},  {6, 198, 3, 2, 4},  {8, 199, 3, 3, -1}, {13, 200, 3, 4, -1}, {14, 201, 3, 5, -1},
    }};
    for (const FrameLayout& frameDef : Frames) {
        QGroupBox* frame = MakeFrame(container, frameDef.number, frameDef.textId, frameDef.column, frameDef.row);
        if (frameDef.yesNo >= 0) {
            const int i = frameDef.yesNo;
            yes_[i] = MakeOption(frame, QStringLiteral("O1(%1)").arg(i), true);
            no_[i] = MakeOption(frame, QStringLiteral("O2(%1)").arg(i), false);
            static_cast<PressButton*>(yes_[i])->onPress = [this, i] { PressYesNo(i, true); };
            static_cast<PressButton*>(no_[i])->onPress = [this, i] { PressYesNo(i, false); };
        }
    }
    auto pair = [this](int frame, int yesNumber) {
        op_[yesNumber] = MakeOption(frames_[frame], QStringLiteral("Op%1").arg(yesNumber), true);
        op_[yesNumber + 1] = MakeOption(frames_[frame], QStringLiteral("Op%1").arg(yesNumber + 1), false);
    };
    pair(8, 1);
    pair(10, 3);
    pair(11, 5);
    static_cast<PressButton*>(op_[1])->onPress = [this] { PressBlockLists(true); };
    static_cast<PressButton*>(op_[2])->onPress = [this] { PressBlockLists(false); };
    for (int b = 3; b <= 6; ++b)
        static_cast<PressButton*>(op_[b])->onPress = [this, b] { PressTrack(b); };

    auto box = [this](int number, int frame, int maxLength, int width) {
        auto* edit = new QLineEdit(frames_[frame]);
        edit->setObjectName(QStringLiteral("Text%1").arg(number));
        edit->setGeometry(TwipsRect(360, 420, width, 375));
        edit->setMaxLength(maxLength);
        edit->setContextMenuPolicy(Qt::NoContextMenu);   // no paste past the key filter
        edit->installEventFilter(this);
        text_[number] = edit;
    };
    box(1, 1, 3, 735);
    box(2, 13, 1, 735);
    box(3, 14, 2, 735);
    box(4, 15, 6, 1335);
    text_[4]->setReadOnly(true);
    auto* seconds = new QLabel(TableText(m_, 185), frames_[1]);
    seconds->setObjectName(QStringLiteral("Label1"));
    seconds->setGeometry(TwipsRect(1260, 420, 1800, 375));
}

void EditorWindow::BuildGrids(QWidget* container, int firstList)
{
    for (int list = firstList; list < firstList + 2; ++list) {
        auto* grid = new GridWidget(container);
        grid->setObjectName(QStringLiteral("Mgd%1").arg(list));
        const bool left = list % 2 == 1;
        grid->setGeometry(left ? TwipsRect(360, 240, 5055, 6015) : TwipsRect(5880, 240, 5175, 6015));
        grid->SetFormatString(TableText(m_, 201 + list));
        grid->SetRows(Grid::FixedRows);
        grid->SetRow(1);
        grids_[list - 1] = grid;
        connect(grid, &GridWidget::Clicked, this, [this, list] { OpenRow(list); });
        connect(grid, &GridWidget::KeyPressed, this, [this, list](int code) {
            if (m_.ListCount(list) != 0 && code == 13)
                OpenRow(list);
        });
        connect(grid, &GridWidget::FocusGained, this, [this, list] { GridFocusGained(list); });
        connect(grid, &GridWidget::FocusLost, this, [this, list] { GridFocusLost(list); });
        connect(grid, &GridWidget::CellEntered, this, [this, list] { GridCellEntered(list); });
        connect(grid, &GridWidget::CellLeft, this, [this, list] { GridCellLeft(list); });
    }
}

void EditorWindow::BuildDisplayTexts(QWidget* container)
{
    QFont courier(QStringLiteral("Courier"), 12, QFont::Bold);
    courier.setStyleHint(QFont::TypeWriter);
    static constexpr std::array<int, 4> Tops{240, 1440, 2760, 4080};
    for (int k = 0; k < 8; ++k) {
        auto* frame = new QGroupBox(TableText(m_, 206) + u' ' + QString::number(k + 1), container);
        frame->setObjectName(QStringLiteral("F1(%1)").arg(k));
        frame->setGeometry(TwipsRect(k < 4 ? 1080 : 4800, Tops[k % 4], 3015, 1095));
        for (int half = 0; half < 2; ++half) {
            const int line = 2 * k + half;
            auto* box = new QLineEdit(frame);
            box->setObjectName(QStringLiteral("b1(%1)").arg(line));
            box->setGeometry(TwipsRect(240, half == 0 ? 270 : 630, 2535, 345));
            box->setFont(courier);
            box->setMaxLength(16);
            box->setReadOnly(true);
            box->setTextMargins(0, 0, 0, 0);
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, QColor(192, 192, 192));
            box->setPalette(palette);
            box->setContextMenuPolicy(Qt::NoContextMenu);
            box->installEventFilter(this);
            lineBoxes_[line] = box;
        }
    }
}

// ---------------------------------------------------------------- showing

void EditorWindow::SetGroup(int frame, bool enabled)
{
    frames_[frame]->setEnabled(enabled);
    switch (frame) {
    case 6: yes_[4]->setVisible(enabled); no_[4]->setVisible(enabled); break;
    case 7: yes_[5]->setVisible(enabled); no_[5]->setVisible(enabled); break;
    case 8: op_[1]->setVisible(enabled); op_[2]->setVisible(enabled); break;
    case 10: op_[3]->setVisible(enabled); op_[4]->setVisible(enabled); break;
    case 11: op_[5]->setVisible(enabled); op_[6]->setVisible(enabled); break;
    case 13: text_[2]->setVisible(enabled); break;
    case 14: text_[3]->setVisible(enabled); break;
    default: break;
    }
}

void EditorWindow::ShowSettings()
{
    RaiseChangeCount(m_);
    auto& image = m_.ConfigImage;
    if (image[Slot::DoorOpenTime] == 0)
        image[Slot::DoorOpenTime] = 1;
    text_[1]->setText(QString::number(image[Slot::DoorOpenTime]));

    for (int i : YesNoIndexes) {
        const YesNoBit setting = YesNoSetting(i);
        const bool on = (image[setting.slot] & setting.mask) != 0;
        (on ? yes_[i] : no_[i])->setChecked(true);
    }
    auto showPair = [this](int yesNumber, bool on) { op_[on ? yesNumber : yesNumber + 1]->setChecked(true); };
    showPair(1, FlagSet(m_, Slot::FeatureFlags, Feature::BlockListsOn));
    showPair(3, FlagSet(m_, Slot::TrackFlags, Track::EvaluateTrack2));
    showPair(5, FlagSet(m_, Slot::TrackFlags, Track::EvaluateTrack3));

    text_[2]->setText(QString::number(2 * image[Slot::Track2DataBytes] - (image[Slot::LengthFlags] & Length::Track2OddLength)));
    text_[3]->setText(QString::number(2 * image[Slot::Track3DataBytes]
                                      - ((image[Slot::LengthFlags] & Length::Track3OddLength) ? 1 : 0)));
    text_[4]->setText(DecodePassword(m_));

    static constexpr std::array<int, 7> MagGroups{6, 7, 8, 10, 11, 13, 14};
    const bool magSignal = FlagSet(m_, Slot::FeatureFlags, Feature::MagCardSignal);
    for (int g : MagGroups)
        SetGroup(g, magSignal);
    if (!magSignal)
        return;
    const bool evaluation = FlagSet(m_, Slot::FeatureFlags, Feature::MagCardEvaluation);
    for (int g : MagGroups)
        if (g != 6)
            SetGroup(g, evaluation);
    if (!evaluation)
        return;
    SetGroup(13, FlagSet(m_, Slot::TrackFlags, Track::EvaluateTrack2));
    SetGroup(14, FlagSet(m_, Slot::TrackFlags, Track::EvaluateTrack3));
}

void EditorWindow::ShowDisplayTexts()
{
    for (int line = 0; line < 16; ++line)
        lineBoxes_[line]->setText(DecodeDisplayLine(m_, line));
}

// ---------------------------------------------------------------- basic settings

void EditorWindow::PressYesNo(int index, bool yes)
{
    if (index < 0 || index > 10 || !yes_[index])
        return;
    const YesNoBit setting = YesNoSetting(index);
    qint16& slot = m_.ConfigImage[setting.slot];
    if (yes)
        slot = qint16(slot | setting.mask);
    else
        slot = qint16(slot & (0xFF & ~setting.mask));
    ShowSettings();
    DecodeLists(m_);
}

bool EditorWindow::ConfirmCardDataLoss()
{
    confirmAnswer_ = 0;
    const auto answer = messages_.Show(TableText(m_, CardLossTextId), TableText(m_, 251),
                                       Messages::Buttons::OkCancel, this);
    if (answer == Messages::Answer::Ok)
        confirmAnswer_ = 1;
    else
        tabs_->setFocus();
    return confirmAnswer_ == 1;
}

void EditorWindow::WarnCardDataLoss()
{
    messages_.Show(TableText(m_, 248), TableText(m_, 249), Messages::Buttons::Ok, this);
}

void EditorWindow::PressBlockLists(bool on)
{
    if (op_[on ? 1 : 2]->isChecked())
        return;
    if (!ConfirmCardDataLoss())
        return;
    qint16& flags = m_.ConfigImage[Slot::FeatureFlags];
    if (on) {
        flags = qint16(flags | Feature::BlockListsOn);
        if (flags & Feature::ChipCardSignal)
            flags = qint16(flags - Feature::ChipCardSignal);
    } else {
        flags = qint16(flags & 0x00BF);
    }
    // Block lists and the chip-card signal exclude each other: the chip-card
    // frame stays locked until block lists are switched off again.
    frames_[5]->setEnabled(!on);
    yes_[3]->setEnabled(!on);
    no_[3]->setEnabled(!on);
    ShowSettings();
    LayOutLists(m_);
}

void EditorWindow::PressTrack(int button)
{
    if (button < 3 || button > 6 || op_[button]->isChecked())
        return;
    if ((button == 4 && op_[6]->isChecked()) || (button == 6 && op_[4]->isChecked())) {
        messages_.Show(TableText(m_, 252), TableText(m_, 253), Messages::Buttons::Ok, this);
        return;
    }
    if (!ConfirmCardDataLoss())
        return;
    qint16& flags = m_.ConfigImage[Slot::TrackFlags];
    switch (button) {
    case 3: flags = qint16(flags | Track::EvaluateTrack2); break;
    case 5: flags = qint16(flags | Track::EvaluateTrack3); break;
    case 4: flags = qint16(flags & 0x00FE); break;
    case 6: flags = qint16(flags & 0x00FD); break;
    default: break;
    }
    ShowSettings();
    LayOutLists(m_);
}

void EditorWindow::NumberBoxKey(QLineEdit* box, QKeyEvent* event, bool& discard)
{
    Q_UNUSED(box);
    discard = false;
    const int key = event->key();
    if (key == Qt::Key_Backspace)
        return;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Delete) {
        // Delete edits the value too; the close prompt must know about it.
        m_.ChangeCount = 1;
        return;
    }
    if (event->text().isEmpty() && !enter)
        return;   // arrows, Home, End and the like move the cursor only
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return;
    if (enter)
        tabs_->setFocus(Qt::OtherFocusReason);
    const QString text = event->text();
    if (enter || text.size() != 1 || text.at(0) < u'0' || text.at(0) > u'9')
        discard = true;
    m_.ChangeCount = 1;
}

void EditorWindow::CommitPendingEntry()
{
    if (QLineEdit* box = editing_) {
        editing_ = nullptr;
        CommitNumberBox(box);
    }
}

void EditorWindow::CommitNumberBox(QLineEdit* box)
{
    const int upper = box == text_[1] ? 255 : box == text_[2] ? 8 : 24;
    QString text = box->text();
    if (LeadingValue(text) < 1)
        text = QStringLiteral("1");
    if (LeadingValue(text) > upper)
        text = QStringLiteral("1");
    const int value = LeadingValue(text);
    box->setText(QString::number(value));
    if (box == text_[1]) {
        m_.ConfigImage[Slot::DoorOpenTime] = qint16(value);
        return;
    }
    EncodeDataLength(m_, box == text_[2] ? TrackNo::Track2 : TrackNo::Track3, value);
    // The cards are laid out anew (and so lost) only for a new length, not
    // for a box that was merely entered and left.
    if (value != valueOnEntry_)
        LayOutLists(m_);
}

void EditorWindow::OpenPasswordDialog()
{
    m_.PasswordAccepted = 0;
    tabs_->setFocus();
    PasswordDialog dialog(m_, messages_, hooks_.StopTimer1, this);
    ShowModal(dialog);
    if (m_.PasswordAccepted != 0 && !m_.TerminalPassword.startsWith(u'X')) {
        EncodePassword(m_);
        m_.PasswordAccepted = 0;
        ShowSettings();
    }
}

void EditorWindow::SelectTab(int tab)
{
    if (tab < 0 || tab > 3)
        return;
    printAction_->setText(TableText(m_, 254 + tab));
    for (int i = 0; i < 4; ++i)
        containers_[i]->setEnabled(i == tab);
}

int EditorWindow::CurrentTab() const
{
    return tabs_->currentIndex();
}

// ---------------------------------------------------------------- grids

GridWidget* EditorWindow::ListGrid(int list) const
{
    return list >= 1 && list <= 4 ? grids_[list - 1] : nullptr;
}

QLineEdit* EditorWindow::DisplayLineBox(int line) const
{
    return line >= 0 && line < 16 ? lineBoxes_[line] : nullptr;
}

QString EditorWindow::DisplayLineText(int line) const
{
    const QLineEdit* box = DisplayLineBox(line);
    return box ? box->text() : QString();
}

int EditorWindow::RowOffset(int list) const
{
    int offset = 0;
    for (int l = 1; l < list; ++l)
        offset += m_.ListCount(l);
    return offset;
}

void EditorWindow::ListsDecodeStarted(const Vardelomod& m, bool listsShown)
{
    for (GridWidget* grid : grids_) {
        grid->SetRows(Grid::FixedRows);   // no colour of a former reading survives
        grid->SetRows(25);
        grid->SetRow(1);
        grid->SetText(QStringLiteral(" "));
    }
    if (!listsShown) {
        for (GridWidget* grid : grids_)
            grid->SetRows(Grid::FixedRows);
        return;
    }
    for (int list = 1; list <= 4; ++list) {
        // A list that is not in use, or whose track has no usable record
        // length, is shown without data rows.
        if (!ListInUse(m, list) || !RecordLengthUsable(m, TrackOfList(list)))
            grids_[list - 1]->SetRows(Grid::FixedRows);
    }
}

void EditorWindow::ListStarted(const Vardelomod& m, int list, int count)
{
    for (int l = 1; l <= 4; ++l)
        grids_[l - 1]->SetFormatString(TableText(m, 257 + l));
    if (list < 1 || list > 4)
        return;
    longestComment_ = 33;
    GridWidget* grid = grids_[list - 1];
    grid->SetRows(count + Grid::FixedRows);
    grid->SetRow(1);
    // The count in number-to-text form: a blank before a non-negative number.
    grid->SetText(TableText(m, 262) + (count >= 0 ? QStringLiteral(" ") : QString()) + QString::number(count));
}

void EditorWindow::RowDecoded(const Vardelomod& m, int list, int k, int row)
{
    if (list < 1 || list > 4 || row < 0 || row >= Vardelomod::RowEntries)
        return;
    GridWidget* grid = grids_[list - 1];
    const int r = k + Grid::FixedRows;
    grid->SetTextAt(r * 2, m.ListData[row]);
    const QString& comment = m.ListComment[row];
    grid->SetTextAt(r * 2 + 1, comment);
    if (comment.size() > longestComment_)
        longestComment_ = int(comment.size());
}

void EditorWindow::ListFinished(const Vardelomod& m, int list)
{
    if (list < 1 || list > 4)
        return;
    if (longestComment_ != 33) {
        GridWidget* grid = grids_[list - 1];
        grid->SetFormatString(grid->FormatString() + QString(CommentPad[list], u' '));
    }
    for (int l = 1; l <= 4; ++l) {
        GridWidget* grid = grids_[l - 1];
        if (m.ListCount(l) != 0 && grid->Rows() > Grid::FixedRows) {
            grid->SetRow(2);
            grid->SetCellBackColor(ColourText::WindowBackground);
        } else {
            grid->SetRow(1);
        }
    }
}

void EditorWindow::OpenRow(int list)
{
    GridWidget* grid = ListGrid(list);
    if (!grid)
        return;
    const int r = grid->SelectedRow();
    if (r < Grid::FixedRows)
        return;
    const int row = r - Grid::FixedRows + RowOffset(list);
    if (row >= Vardelomod::RowEntries)
        return;
    m_.CurrentRow = quint16(row);
    grid->SetCellBackColor(ColourText::Red);
    {
        RowEditDialog dialog(m_, messages_, this);
        const bool leftGrid = list == 1 || list == 3;
        dialog.move(TwipsPoint(leftGrid ? RowEditLeftForLeftGrid : RowEditLeftForRightGrid, RowEditTop));
        ShowModal(dialog);
    }
    if (m_.EditConfirmed == 0) {
        grid->SetCellBackColor(ColourText::WindowBackground);
        return;
    }
    const int edited = grid->SelectedRow();
    grid->SetTextAt(edited * 2, m_.ListData[m_.CurrentRow]);
    grid->SetTextAt(edited * 2 + 1, m_.ListComment[m_.CurrentRow]);
    grid->SetCellBackColor(ColourText::ButtonFace);
    EncodeRowData(m_, m_.CurrentRow);
}

void EditorWindow::GridFocusGained(int list)
{
    if (m_.EditConfirmed != 1 && m_.ListCount(list) != 0)
        grids_[list - 1]->SetCellBackColor(ColourText::Red);
}

void EditorWindow::GridFocusLost(int list)
{
    if (m_.EditConfirmed == 1) {
        m_.EditConfirmed = 0;
        return;
    }
    if (m_.ListCount(list) != 0)
        grids_[list - 1]->SetCellBackColor(ColourText::WindowBackground);
}

void EditorWindow::GridCellEntered(int list)
{
    if (grids_[list - 1]->Row() != 1)
        grids_[list - 1]->SetCellBackColor(ColourText::Red);
}

void EditorWindow::GridCellLeft(int list)
{
    if (grids_[list - 1]->Row() != 1)
        grids_[list - 1]->SetCellBackColor(ColourText::WindowBackground);
}

// ---------------------------------------------------------------- display lines

void EditorWindow::SetBoxTextColour(QLineEdit* box, const QString& colourText)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, ColourFromText(colourText, this->palette()));
    box->setPalette(palette);
}

void EditorWindow::OpenDisplayLine(int index)
{
    QLineEdit* box = DisplayLineBox(index);
    if (!box)
        return;
    m_.DisplayLineIndex = quint16(index);
    DisplayLineDialog dialog(m_, box, this);
    ShowModal(dialog);
}

// ---------------------------------------------------------------- events

bool EditorWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);

    const int line = int(std::find(lineBoxes_.begin(), lineBoxes_.end(), box) - lineBoxes_.begin());
    if (line < 16) {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (OwnFocusChange(event))
                SetBoxTextColour(box, ColourText::Red);
            break;
        case QEvent::FocusOut:
            if (OwnFocusChange(event))
                SetBoxTextColour(box, ColourText::WindowText);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && box->rect().contains(
                    static_cast<QMouseEvent*>(event)->position().toPoint())) {
                SetBoxTextColour(box, ColourText::Red);
                OpenDisplayLine(line);
                return true;
            }
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                OpenDisplayLine(line);
                return true;
            }
            break;
        }
        default: break;
        }
        return QDialog::eventFilter(watched, event);
    }

    if (box == text_[4]) {
        if (event->type() == QEvent::FocusIn && OwnFocusChange(event)) {
            // Handled after the focus change has settled, never inside it.
            QTimer::singleShot(0, this, [this] {
                if (text_[4]->hasFocus())
                    OpenPasswordDialog();
            });
        }
        return QDialog::eventFilter(watched, event);
    }

    if (box != text_[1] && box != text_[2] && box != text_[3])
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        // Whatever brought the focus here, leaving the box commits it.
        if (editing_ != box)
            valueOnEntry_ = LeadingValue(box->text());
        editing_ = box;
        if (OwnFocusChange(event)) {
            if (box != text_[1])
                WarnCardDataLoss();
            box->selectAll();
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        break;
    case QEvent::FocusOut:
        if (OwnFocusChange(event) && editing_ == box)
            CommitPendingEntry();
        break;
    case QEvent::KeyPress: {
        bool discard = false;
        NumberBoxKey(box, static_cast<QKeyEvent*>(event), discard);
        if (discard)
            return true;
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- files

void EditorWindow::ReportSaveFailure(const FileStatus& status, const QString& fileName)
{
    if (status.diskFull)
        messages_.Show(TableText(m_, 246), TableText(m_, 247), Messages::Buttons::Ok, this);
    else
        messages_.Show(CatalogueText(SaveFailedTextId, m_.LanguageOffset) + fileName, TableText(m_, 247),
                       Messages::Buttons::Ok, this);
}

bool EditorWindow::SaveConfiguration()
{
    CommitPendingEntry();
    FileStatus status = WriteConfigurationFile(m_, m_.CurrentConfigFile);
    QString failed = m_.CurrentConfigFile;
    if (status) {
        status = SaveComments(m_, m_.CommentFileName);
        failed = m_.CommentFileName;
    }
    if (!status) {
        ReportSaveFailure(status, failed);
        return false;
    }
    m_.ChangeCount = 0;
    return true;
}

bool EditorWindow::SaveConfigurationAs()
{
    CommitPendingEntry();
    FileDialogRequest request;
    request.proposedName = TableText(m_, 242);
    request.filter = TableText(m_, 243);
    request.title = TableText(m_, 244);
    request.initialDirectory = m_.StartDirectory;
    const std::optional<QString> chosen = fileDialogs_.Save(request, this);
    if (!chosen || chosen->isEmpty())
        return false;
    // A name Load would refuse gets the extension, so that the configuration
    // opens again and its comments file is named after it.
    const QString name = IsConfigFileName(*chosen) ? *chosen : *chosen + QStringLiteral(".QLV");
    if (QFile::exists(name)) {
        const auto answer = messages_.Show(TableText(m_, 266) + name + TableText(m_, 267), TableText(m_, 253),
                                           Messages::Buttons::YesNo, this);
        if (answer != Messages::Answer::Yes)
            return false;
    }
    FileStatus status = WriteConfigurationFile(m_, name);
    QString failed = name;
    if (status) {
        failed = CommentFileNameFor(name);
        status = failed.isEmpty() ? FileStatus::Failed(QStringLiteral("no comments file name")) : SaveComments(m_, failed);
    }
    if (!status) {
        ReportSaveFailure(status, failed);
        return false;
    }
    setWindowTitle(name);
    m_.ChangeCount = 0;
    return true;
}

bool EditorWindow::AskToSave()
{
    if (m_.ChangeCount <= 0)
        return true;
    const auto answer = messages_.Show(TableText(m_, 209), TableText(m_, 210), Messages::Buttons::YesNo, this);
    if (answer == Messages::Answer::Yes)
        return SaveConfiguration();
    return true;
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
    RunEditorPrintCommand(*this, false);
}

void EditorWindow::PrintAll()
{
    CommitPendingEntry();
    RunEditorPrintCommand(*this, true);
}
