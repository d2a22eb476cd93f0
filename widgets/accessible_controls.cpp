#include "accessible_controls.h"

#include "knob.h"
#include "lcd_label.h"

#include <QAccessibleWidget>
#include <mutex>

namespace {

class AccessibleKnob : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleKnob(TKnob* knob) : QAccessibleWidget(knob, QAccessible::Dial) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(knob()->Position());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return knob()->Position(); }
    // Acts as turning the knob: the knob limits the value and reports the change.
    void setCurrentValue(const QVariant& value) override { knob()->SetPosition(value.toInt()); }
    QVariant maximumValue() const override { return std::max(knob()->Min(), knob()->Max()); }
    QVariant minimumValue() const override { return std::min(knob()->Min(), knob()->Max()); }
    QVariant minimumStepSize() const override { return 1; }

private:
    TKnob* knob() const { return static_cast<TKnob*>(widget()); }
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
    if (className == QLatin1String("TKnob")) return new AccessibleKnob(static_cast<TKnob*>(object));
    if (className == QLatin1String("TLCDLabel"))
        return new AccessibleLcd(static_cast<TLCDLabel*>(object));
    return nullptr;
}

} // namespace

void installAccessibleControls() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(accessibleControl); });
}
