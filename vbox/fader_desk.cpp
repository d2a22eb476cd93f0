#include "fader_desk.h"

#include "click_keys.h"
#include "control_registry.h"
#include "desk_button.h"
#include "desk_layout.h"
#include "knob.h"
#include "lcd_label.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

using namespace desk_layout;

namespace {

constexpr int kHintTag = -1;
constexpr int kLcdTag = -10;
constexpr int kPanelTag = -11;
constexpr int kTestKnobTag = -99;

template <typename Control> Control* placed(Control* control, int tag, QRect geometry) {
    setTag(control, tag);
    control->setGeometry(geometry);
    return control;
}

QFont terminalFont() {
    QFont font(QStringLiteral("Terminal"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

TFaderDesk::TFaderDesk(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FaderDesk"));
    setWindowTitle(QStringLiteral("Virtual Pultron : Kelmo's FaderDesk"));
    setAccessibleName(windowTitle());
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    move(44, 107);
    resize(694, 480);

    Label1 =
        placed(new QLabel(tr("Hint: Right-Click To Edit Faders"), this), kHintTag, {0, 0, 148, 13});
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->adjustSize(); // the fallback for "MS Sans Serif" may be wider than the original
    TestKnob = placed(new TKnob(this), kTestKnobTag, {8, 8, 40, 40});
    TestKnob->setObjectName(QStringLiteral("TestKnob"));
    TestKnob->setAccessibleName(QStringLiteral("TestKnob"));
    TestKnob->hide();
    createBackLightLcd();
    createLcdPanel();
}

void TFaderDesk::createBackLightLcd() {
    auto* lcd = new TLCDLabel(this);
    lcd->setObjectName(QStringLiteral("BackLightLCDPanel"));
    lcd->setRefusalDialogsEnabled(false);
    lcd->setDotMatrix(Lcd::Hitachi);
    lcd->setPixelSize(Lcd::pix1x1);
    lcd->setPixelSpacing(1);
    lcd->setPixelWidth(1);
    lcd->setPixelHeight(1);
    lcd->setCharSpacing(2);
    lcd->setLineSpacing(2);
    lcd->setBorderSpace(6);
    lcd->setTextLines(4);
    lcd->setNoOfChars(16);
    lcd->setBackGround(QColor(0, 0, 128));
    lcd->setPixelOn(QColor(255, 255, 0));
    lcd->setPixelOff(QColor(128, 0, 128));
    BackLightLCDPanel = placed(lcd, kLcdTag, {248, 16, 188, 72});
}

void TFaderDesk::createLcdPanel() {
    LCDPanel = placed(new QFrame(this), kPanelTag, {272, 16, 145, 81});
    LCDPanel->setObjectName(QStringLiteral("LCDPanel"));
    LCDPanel->setAccessibleName(tr("LCD"));
    LCDPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    LCDPanel->setLineWidth(1);
    LCDPanel->setAutoFillBackground(true);
    LCDPanel->setPalette(QPalette(Qt::white));
    LCDPanel->installEventFilter(this);
    LCDPanel->setFocusPolicy(Qt::StrongFocus); // clicked with Enter or Space as well
    for (int i = 0; i < int(LCDLines.size()); ++i) {
        auto* line = placed(new QLabel(LCDPanel), kLcdTag, {9, 8 + i * 16, 130, 12});
        line->setObjectName(QStringLiteral("LCDLine%1").arg(i));
        line->setFont(terminalFont());
        // A click on a line is a click on the panel.
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        LCDLines[std::size_t(i)] = line;
    }
    LCDPanel->hide();
}

void TFaderDesk::ClearDesk() {
    const QObjectList& children = this->children();
    for (int i = 0; i < children.size();) {
        QObject* child = children.at(i);
        if (!child->isWidgetType() || tagOf(child) < 0)
            ++i;
        else
            delete child; // leaves the child list, so the next control moves up to index i
    }
}

std::vector<TKnob*> TFaderDesk::CreateKnobs(ControlRegistry& registry) {
    resize(kDeskWidth, kKnobAreaHeight);
    registry.clear();
    std::vector<TKnob*> knobs;
    for (int i = 0; i < kPotCount; ++i) {
        auto* label =
            placed(new QLabel(QStringLiteral("0"), this), desk_tags::kValueLabelOffset + i + 1,
                   {knobLeft(i), knobTop(i) + LabelOffsetY, kKnobSize, kValueLabelHeight});
        registry.enter(label);
        label->show();
        auto* knob =
            placed(new TKnob(this), i + 1, {knobLeft(i), knobTop(i), kKnobSize, kKnobSize});
        knob->setAccessibleName(tr("Pot %1").arg(i + 1));
        registry.enter(knob);
        knob->show();
        knobs.push_back(knob);
    }
    for (TKnob* knob : knobs)
        knob->SetPositionLabel(registry.as<QLabel>(tagOf(knob) + desk_tags::kValueLabelOffset));
    return knobs;
}

std::vector<DeskButton*> TFaderDesk::CreateButtons() {
    resize(width(), height() + kButtonAreaHeight);
    std::vector<DeskButton*> buttons;
    for (int row = 0; row < kButtonRows; ++row) {
        for (int column = 0; column < KnobsPerRow; ++column) {
            const int number = row * KnobsPerRow + column + 1;
            auto* button = placed(
                new DeskButton(QString::number(number), this), desk_tags::kButtonBase + number,
                {buttonLeft(column), buttonTop(height(), row), kButtonSize, kButtonSize});
            button->setAccessibleName(tr("Button %1").arg(number)); // as the pots say "Pot 1"
            button->show();
            buttons.push_back(button);
        }
    }
    return buttons;
}

void TFaderDesk::PrepareLcd() {
    LCDPanel->move(width() / 2 - LCDPanel->width() / 2, LCDPanel->y());
    for (QLabel* line : LCDLines)
        line->clear();
    BackLightLCDPanel->move(width() / 2 - BackLightLCDPanel->width() / 2, BackLightLCDPanel->y());
    BackLightLCDPanel->setCaption(QString());
}

bool TFaderDesk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LCDPanel && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && LCDPanel->rect().contains(mouse->pos())) {
            emit lcdPanelClicked();
            return true;
        }
    }
    if (watched == LCDPanel && event->type() == QEvent::KeyPress &&
        isClickKey(*static_cast<QKeyEvent*>(event))) {
        emit lcdPanelClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFaderDesk::closeEvent(QCloseEvent* event) {
    hide(); // closing only hides the desk: its controls and their state stay
    event->ignore();
}
