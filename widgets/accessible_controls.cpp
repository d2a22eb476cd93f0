#include "accessible_controls.h"

#include "knob.h"
#include "lcd_label.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QAccessibleWidget>
#include <mutex>

namespace {

// The value range and position of the turning controls, read alike.
struct Turn {
    int position, min, max;
};
Turn turnOf(const TKnob* knob) {
    return {knob->Position(), knob->Min(), knob->Max()};
}
Turn turnOf(const TVrBitmapDial* dial) {
    return {dial->Position(), dial->MinValue(), dial->MaxValue()};
}

// A knob or skinned dial reports and accepts its value like a dial.
template <typename Control>
class AccessibleDial : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleDial(Control* control) : QAccessibleWidget(control, QAccessible::Dial) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(turn().position);
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return turn().position; }
    // Acts as turning the control: it limits the value and reports the change.
    void setCurrentValue(const QVariant& value) override { control()->SetPosition(value.toInt()); }
    QVariant maximumValue() const override { return std::max(turn().min, turn().max); }
    QVariant minimumValue() const override { return std::min(turn().min, turn().max); }
    QVariant minimumStepSize() const override { return 1; }

private:
    Control* control() const { return static_cast<Control*>(widget()); }
    Turn turn() const { return turnOf(control()); }
};

class AccessibleLcd : public QAccessibleWidget {
public:
    explicit AccessibleLcd(TLCDLabel* lcd) : QAccessibleWidget(lcd, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value ||
            (t == QAccessible::Name && widget()->accessibleName().isEmpty()))
            return rows();
        return QAccessibleWidget::text(t);
    }

private:
    // The caption as the display breaks it into rows, up to its first NUL.
    QString rows() const {
        const auto* lcd = static_cast<const TLCDLabel*>(widget());
        QString text = lcd->caption();
        text.truncate(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
        QStringList lines;
        const int width = std::max(1, lcd->noOfChars());
        for (int row = 0; row < lcd->textLines() && row * width < text.size(); ++row)
            lines << text.mid(row * width, width);
        return lines.join(QLatin1Char('\n'));
    }
};

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String("TKnob"))
        return new AccessibleDial<TKnob>(static_cast<TKnob*>(object));
    if (className == QLatin1String("TVrBitmapDial"))
        return new AccessibleDial<TVrBitmapDial>(static_cast<TVrBitmapDial*>(object));
    if (className == QLatin1String("TVrAniButton"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Button);
    if (className == QLatin1String("TLCDLabel"))
        return new AccessibleLcd(static_cast<TLCDLabel*>(object));
    return nullptr;
}

} // namespace

void installAccessibleControls() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(accessibleControl); });
}
