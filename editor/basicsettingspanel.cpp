#include "editor/basicsettingspanel.h"

#include "texts/catalogue.h"
#include "config/configimage.h"
#include "editor/changecount.h"
#include "editor/focuschange.h"
#include "editor/password.h"
#include "platform/messages.h"
#include "platform/ui/twips.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {


// An option button that reports the operator's press before anything is
// selected and never changes its own state: the editor writes the image on
// the press and ShowSettings then selects from the image, so a press whose
// confirmation is cancelled leaves the old selection standing.
class PressButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    std::function<void()> onPress;
    PressButton* partner = nullptr;   // the other button of the yes/no pair

    // Tab into the pair lands on its selected button: only that one is a
    // tab stop (the toolkit moves the stop to whichever button had the focus
    // last, so it is set again whenever the pair loses the focus).
    void TabStopOnSelected()
    {
        if (!partner)
            return;
        PressButton* selected = partner->isChecked() ? partner : this;
        PressButton* other = selected == this ? partner : this;
        selected->setFocusPolicy(Qt::StrongFocus);
        other->setFocusPolicy(Qt::ClickFocus);
    }

protected:
    void focusOutEvent(QFocusEvent* event) override
    {
        QRadioButton::focusOutEvent(event);
        TabStopOnSelected();
    }
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

// The frames in the order they are made: number, the setting it shows,
// column and row, and its controls: the pair O1(i)/O2(i), the pair
// Opn/Opn+1, or the box Textn.
struct FrameLayout {
    int number;
    BasicSetting setting;
    int column, row;
    int yesNo = -1;       // i, or -1
    int optionPair = 0;   // n, or 0
    int box = 0;          // n, or 0
};
using S = BasicSetting;
constexpr std::array<FrameLayout, 15> Frames{{
    {1, S::DoorOpenTime, 1, 1, -1, 0, 1},     {2, S::BuzzerWithOpener, 1, 2, 0},
    {3, S::OpenerIntervalTone, 1, 3, 1},      {12, S::MonitoringModule, 1, 4, 10},
    {15, S::Password, 1, 5, -1, 0, 4},        {5, S::ChipCardSignal, 2, 1, 3},
    {4, S::MagCardSignal, 2, 2, 2},           {7, S::DataOnDisplay, 2, 3, 5},
    {10, S::EvaluateTrack2, 2, 4, -1, 3},     {11, S::EvaluateTrack3, 2, 5, -1, 5},
    {9, S::OpenDoorOnFault, 3, 1, 7},         {6, S::MagCardEvaluation, 3, 2, 4},
    {8, S::BlockListsOn, 3, 3, -1, 1},        {13, S::Track2Digits, 3, 4, -1, 0, 2},
    {14, S::Track3Digits, 3, 5, -1, 0, 3},
}};

const FrameLayout& FrameOf(BasicSetting setting)
{
    return *std::find_if(Frames.begin(), Frames.end(), [=](const FrameLayout& f) { return f.setting == setting; });
}

// The yes/no setting of an O1(i)/O2(i) pair.
const BasicSettingEntry* YesNoSetting(int index)
{
    for (const FrameLayout& f : Frames)
        if (f.yesNo >= 0 && f.yesNo == index)
            return &SettingEntry(f.setting);
    return nullptr;
}

PressButton* Pressable(QRadioButton* button)
{
    return static_cast<PressButton*>(button);
}

// The next control a Tab (or Backtab) reaches from a widget.
QWidget* NextTabStop(QWidget* from, bool forward)
{
    for (QWidget* w = forward ? from->nextInFocusChain() : from->previousInFocusChain(); w && w != from;
         w = forward ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy())
            return w;
    }
    return nullptr;
}

} // namespace

BasicSettingsPanel::BasicSettingsPanel(ProgramState& program, Configuration& m, Messages& messages,
                                       const ModalRunner& showModal, QWidget* focusHome, QWidget* parent)
    : QWidget(parent), program_(program), m_(m), messages_(messages), showModal_(showModal), focusHome_(focusHome)
{
    setObjectName(QStringLiteral("umr0"));
    for (const FrameLayout& frameDef : Frames) {
        QGroupBox* frame = MakeFrame(frameDef.number, TextNumber(SettingEntry(frameDef.setting).captionText),
                                     frameDef.column, frameDef.row);
        if (frameDef.yesNo >= 0) {
            const int i = frameDef.yesNo;
            yes_[i] = MakeOption(frame, QStringLiteral("O1(%1)").arg(i), true);
            no_[i] = MakeOption(frame, QStringLiteral("O2(%1)").arg(i), false);
            Pressable(yes_[i])->onPress = [this, i] { PressYesNo(i, true); };
            Pressable(no_[i])->onPress = [this, i] { PressYesNo(i, false); };
            Pressable(yes_[i])->partner = Pressable(no_[i]);
            Pressable(no_[i])->partner = Pressable(yes_[i]);
        }
    }
    auto pair = [this](int frame, int yesNumber) {
        options_[yesNumber] = MakeOption(frames_[frame], QStringLiteral("Op%1").arg(yesNumber), true);
        options_[yesNumber + 1] = MakeOption(frames_[frame], QStringLiteral("Op%1").arg(yesNumber + 1), false);
        Pressable(options_[yesNumber])->partner = Pressable(options_[yesNumber + 1]);
        Pressable(options_[yesNumber + 1])->partner = Pressable(options_[yesNumber]);
    };
    for (const FrameLayout& frameDef : Frames)
        if (frameDef.optionPair)
            pair(frameDef.number, frameDef.optionPair);
    Pressable(options_[1])->onPress = [this] { PressBlockLists(true); };
    Pressable(options_[2])->onPress = [this] { PressBlockLists(false); };
    for (int b = 3; b <= 6; ++b)
        Pressable(options_[b])->onPress = [this, b] { PressTrack(b); };

    for (const FrameLayout& frameDef : Frames) {
        if (!frameDef.box)
            continue;
        // As many characters as the highest value has digits; the password six.
        const BasicSettingEntry& setting = SettingEntry(frameDef.setting);
        const bool password = setting.values == SettingValues::Password;
        auto* edit = new QLineEdit(frames_[frameDef.number]);
        edit->setObjectName(QStringLiteral("Text%1").arg(frameDef.box));
        edit->setGeometry(TwipsRect(360, 420, password ? 1335 : 735, 375));
        edit->setMaxLength(password ? 6 : int(QString::number(setting.highest).size()));
        edit->setContextMenuPolicy(Qt::NoContextMenu);   // no paste past the key filter
        edit->installEventFilter(this);
        boxes_[frameDef.box] = edit;
    }
    boxes_[4]->setReadOnly(true);
    auto* seconds = new QLabel(TableText(program_, Text::SecondsLabel), frames_[1]);
    seconds->setObjectName(QStringLiteral("Label1"));
    seconds->setGeometry(TwipsRect(1260, 420, 1800, 375));

    // Tab follows the screen: down each column, then the next column. Of a
    // yes/no pair only the selected button is a tab stop (ShowSettings).
    const std::array<QWidget*, 26> tabOrder{
        boxes_[1], yes_[0], no_[0], yes_[1], no_[1], yes_[10], no_[10], boxes_[4],                    // column 1
        yes_[3], no_[3], yes_[2], no_[2], yes_[5], no_[5], options_[3], options_[4], options_[5], options_[6], // column 2
        yes_[7], no_[7], yes_[4], no_[4], options_[1], options_[2], boxes_[2], boxes_[3]};              // column 3
    for (size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

QGroupBox* BasicSettingsPanel::MakeFrame(int number, TextNumber textId, int column, int row)
{
    static constexpr std::array<int, 3> Lefts{600, 4080, 7560};
    static constexpr std::array<int, 5> Tops{360, 1560, 2760, 3960, 5160};
    auto* frame = new QGroupBox(TableText(program_, textId), this);
    frame->setObjectName(QStringLiteral("Frame%1").arg(number));
    frame->setGeometry(TwipsRect(Lefts[column - 1], Tops[row - 1], 3255, 975));
    frames_[number] = frame;
    return frame;
}

QRadioButton* BasicSettingsPanel::MakeOption(QGroupBox* frame, const QString& name, bool yes)
{
    auto* button = new PressButton(TableText(program_, yes ? Text::YesOption : Text::NoOption), frame);
    button->setObjectName(name);
    button->setGeometry(TwipsRect(yes ? 360 : 1800, 420, 1260, 375));
    return button;
}

BasicSetting BasicSettingsPanel::SettingOf(const QLineEdit* box) const
{
    for (const FrameLayout& f : Frames)
        if (f.box && boxes_[f.box] == box)
            return f.setting;
    return BasicSetting::DoorOpenTime;
}

bool BasicSettingsPanel::ShowsYes(BasicSetting setting) const
{
    const FrameLayout& frame = FrameOf(setting);
    if (frame.yesNo >= 0)
        return yes_[frame.yesNo]->isChecked();
    return frame.optionPair && options_[frame.optionPair]->isChecked();
}

QString BasicSettingsPanel::ShownValue(BasicSetting setting) const
{
    const FrameLayout& frame = FrameOf(setting);
    return frame.box ? boxes_[frame.box]->text() : QString();
}

// ---------------------------------------------------------------- showing

void BasicSettingsPanel::SetGroup(int frame, bool enabled)
{
    frames_[frame]->setEnabled(enabled);
    switch (frame) {
    case 6: yes_[4]->setVisible(enabled); no_[4]->setVisible(enabled); break;
    case 7: yes_[5]->setVisible(enabled); no_[5]->setVisible(enabled); break;
    case 8: options_[1]->setVisible(enabled); options_[2]->setVisible(enabled); break;
    case 10: options_[3]->setVisible(enabled); options_[4]->setVisible(enabled); break;
    case 11: options_[5]->setVisible(enabled); options_[6]->setVisible(enabled); break;
    case 13: boxes_[2]->setVisible(enabled); break;
    case 14: boxes_[3]->setVisible(enabled); break;
    default: break;
    }
}

void BasicSettingsPanel::ShowSettings()
{
    RaiseChangeCount(m_);
    qint16& doorOpenTime = m_.ConfigImage[SettingEntry(BasicSetting::DoorOpenTime).slot];
    if (doorOpenTime == 0)
        doorOpenTime = 1;
    for (const FrameLayout& f : Frames) {
        if (f.yesNo >= 0) {
            (SettingOn(m_, f.setting) ? yes_[f.yesNo] : no_[f.yesNo])->setChecked(true);
            Pressable(yes_[f.yesNo])->TabStopOnSelected();
        } else if (f.optionPair) {
            options_[SettingOn(m_, f.setting) ? f.optionPair : f.optionPair + 1]->setChecked(true);
            Pressable(options_[f.optionPair])->TabStopOnSelected();
        } else {
            boxes_[f.box]->setText(SettingText(m_, SettingEntry(f.setting)));
        }
    }
    ShowDependentGroups();
    emit Edited();
}

void BasicSettingsPanel::ShowDependentGroups()
{
    // In the table's order, so that a group is settled before the ones that depend on it.
    for (const BasicSettingEntry& setting : BasicSettings())
        if (setting.dependsOn)
            SetGroup(FrameOf(setting.setting).number, SettingApplies(m_, setting.setting));
}

void BasicSettingsPanel::PressYesNo(int index, bool yes)
{
    const BasicSettingEntry* setting = YesNoSetting(index);
    if (!setting)
        return;
    qint16& slot = m_.ConfigImage[setting->slot];
    if (yes)
        slot = qint16(slot | setting->mask);
    else
        slot = qint16(slot & (0xFF & ~setting->mask));
    ShowSettings();
    DecodeLists(m_);
}

bool BasicSettingsPanel::ConfirmCardDataLoss()
{
    confirmAnswer_ = 0;
    const auto answer = messages_.Show(TableText(program_, Text::CardDataLost),
                                       TableText(program_, Text::CardDataLostTitle), Messages::Buttons::OkCancel,
                                       window());
    if (answer == Messages::Answer::Ok)
        confirmAnswer_ = 1;
    else
        focusHome_->setFocus();
    return confirmAnswer_ == 1;
}

void BasicSettingsPanel::WarnCardDataLoss()
{
    messages_.Show(TableText(program_, Text::CardDataLostWhenChanging),
                   TableText(program_, Text::CardDataLostWhenChangingTitle), Messages::Buttons::Ok, window());
}

void BasicSettingsPanel::PressBlockLists(bool on)
{
    if (options_[on ? 1 : 2]->isChecked())
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

void BasicSettingsPanel::PressTrack(int button)
{
    if (button < 3 || button > 6 || options_[button]->isChecked())
        return;
    if ((button == 4 && options_[6]->isChecked()) || (button == 6 && options_[4]->isChecked())) {
        messages_.Show(TableText(program_, Text::OneTrackOnly), TableText(program_, Text::EditorCautionTitle),
                       Messages::Buttons::Ok, window());
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

void BasicSettingsPanel::NumberBoxKey(QKeyEvent* event, bool& discard)
{
    discard = false;
    const int key = event->key();
    if (key == Qt::Key_Backspace)
        return;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Delete) {
        // Delete edits the value too; the close prompt must know about it.
        m_.ChangeCount = 1;
        emit Edited();
        return;
    }
    if (event->text().isEmpty() && !enter)
        return;   // arrows, Home, End and the like move the cursor only
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return;
    if (enter)
        focusHome_->setFocus(Qt::OtherFocusReason);
    const QString text = event->text();
    if (enter || text.size() != 1 || text.at(0) < u'0' || text.at(0) > u'9')
        discard = true;
    m_.ChangeCount = 1;
    emit Edited();
}

void BasicSettingsPanel::CommitPendingEntry()
{
    if (QLineEdit* box = editing_) {
        editing_ = nullptr;
        CommitNumberBox(box);
    }
}

void BasicSettingsPanel::CommitNumberBox(QLineEdit* box)
{
    const BasicSettingEntry& setting = SettingEntry(SettingOf(box));
    const int value = LeadingValue(box->text());
    const bool inRange = value >= setting.lowest && value <= setting.highest;
    if (setting.values == SettingValues::Seconds) {
        // Out of range becomes 1, which loses nothing.
        const int seconds = inRange ? value : 1;
        box->setText(QString::number(seconds));
        m_.ConfigImage[setting.slot] = qint16(seconds);
        return;
    }
    // The cards are laid out anew (and so lost) only for a new length, not
    // for a box that was merely entered and left.
    if (value == valueOnEntry_) {
        box->setText(QString::number(value));
        return;
    }
    // A length out of range is refused: taking 1 in its place would lay the
    // lists out for a length nobody asked for and lose every card.
    if (!inRange) {
        box->setText(QString::number(valueOnEntry_));
        const QString refused = CatalogueText(Text::DataLengthRefused, program_.LanguageOffset);
        messages_.Show(refused.arg(setting.highest).arg(valueOnEntry_), TableText(program_, Text::EditorCautionTitle),
                       Messages::Buttons::Ok, window());
        return;
    }
    box->setText(QString::number(value));
    EncodeDataLength(m_, setting.setting == BasicSetting::Track2Digits ? TrackNo::Track2 : TrackNo::Track3, value);
    LayOutLists(m_);
}

void BasicSettingsPanel::OpenPasswordDialog(Qt::FocusReason reason)
{
    focusHome_->setFocus();
    PasswordEntry entry;
    {
        PasswordDialog dialog(program_, messages_, [this] { emit PasswordDialogOpening(); }, window());
        showModal_(dialog);
        entry = dialog.Result();
    }
    if (entry.PasswordAccepted != 0 && !entry.TerminalPassword.startsWith(u'X')) {
        EncodePassword(m_, entry);
        ShowSettings();
    }
    // Tabbed into, the field is passed on to the next control; otherwise Tab
    // would come back to it from the tab control and open the dialog again,
    // and the controls after it could never be reached by keys.
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
        if (QWidget* next = NextTabStop(boxes_[4], reason == Qt::TabFocusReason))
            next->setFocus(reason);
}

// ---------------------------------------------------------------- events

bool BasicSettingsPanel::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QWidget::eventFilter(watched, event);

    if (box == boxes_[4]) {
        if (event->type() == QEvent::FocusIn && OwnFocusChange(event)) {
            // Handled after the focus change has settled, never inside it.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            QTimer::singleShot(0, this, [this, reason] {
                if (boxes_[4]->hasFocus())
                    OpenPasswordDialog(reason);
            });
        }
        return QWidget::eventFilter(watched, event);
    }

    if (box != boxes_[1] && box != boxes_[2] && box != boxes_[3])
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        // Whatever brought the focus here, leaving the box commits it.
        if (editing_ != box)
            valueOnEntry_ = LeadingValue(box->text());
        editing_ = box;
        if (OwnFocusChange(event)) {
            if (box != boxes_[1])
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
        NumberBoxKey(static_cast<QKeyEvent*>(event), discard);
        if (discard)
            return true;
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}
