#include "accessible_controls.h"

#include "knob.h"
#include "lcd_label.h"
#include "live_status.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <algorithm>
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

// The LCD reads out the rows it shows through the text interface, the only way drawn text
// reaches the AT-SPI bus; it has no cursor and no selection.
class AccessibleLcd : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleLcd(TLCDLabel* lcd) : QAccessibleWidget(lcd, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value ||
            (t == QAccessible::Name && widget()->accessibleName().isEmpty()))
            return lcd()->shownRows();
        return QAccessibleWidget::text(t);
    }

    QString text(int startOffset, int endOffset) const override {
        const QString rows = lcd()->shownRows();
        const int start = std::clamp(startOffset, 0, int(rows.size()));
        const int end =
            endOffset < 0 ? int(rows.size()) : std::clamp(endOffset, start, int(rows.size()));
        return rows.mid(start, end - start);
    }
    int characterCount() const override { return int(lcd()->shownRows().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }
    // A character's cell on the screen: rows are joined by one line break each.
    QRect characterRect(int offset) const override {
        const int stride = lcd()->noOfChars() + 1;
        if (offset < 0 || offset >= characterCount() || offset % stride == stride - 1) return {};
        const QPoint origin = lcd()->mapToGlobal(QPoint(0, 0));
        const QRect cell(lcd()->cellOrigin(offset / stride, offset % stride),
                         QSize(lcd()->cellWidth(), lcd()->cellHeight()));
        return cell.translated(origin);
    }
    int offsetAtPoint(const QPoint& point) const override {
        const int count = characterCount();
        for (int offset = 0; offset < count; ++offset)
            if (characterRect(offset).contains(point)) return offset;
        return -1;
    }

private:
    const TLCDLabel* lcd() const { return static_cast<const TLCDLabel*>(widget()); }
};

// The animated button is a push button, or a toggle button in switch style; either says whether
// it is down.
class AccessibleAniButton : public QAccessibleWidget {
public:
    explicit AccessibleAniButton(TVrAniButton* button)
        : QAccessibleWidget(button, button->SwitchStyle() ? QAccessible::CheckBox
                                                          : QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const auto* button = static_cast<const TVrAniButton*>(widget());
        if (button->SwitchStyle()) {
            s.checkable = true;
            s.checked = button->GetDown();
        } else {
            s.pressed = button->GetDown();
        }
        return s;
    }
};

// A live status line is a notification whose name is the text it shows.
class AccessibleLiveStatus : public QAccessibleWidget {
public:
    explicit AccessibleLiveStatus(LiveStatus* status)
        : QAccessibleWidget(status, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// A program's own top-level window is a frame named by the title it shows, unsaved mark and all.
class AccessibleFrame : public QAccessibleWidget {
public:
    explicit AccessibleFrame(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || widget()->windowTitle().isEmpty())
            return QAccessibleWidget::text(t);
        QString title = widget()->windowTitle();
        return title.replace(QLatin1String("[*]"),
                             widget()->isWindowModified() ? QStringLiteral("*") : QString());
    }
};

bool isPlainWindow(QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && widget->isWindow() && widget->windowType() == Qt::Window;
}

// Screen readers learn of a new title only from a name change.
class TitleWatcher : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::WindowTitleChange || type == QEvent::ModifiedChange) &&
            QAccessible::isActive() && isPlainWindow(watched)) {
            QAccessibleEvent named(watched, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&named);
        }
        return false;
    }
};

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String("TKnob"))
        return new AccessibleDial<TKnob>(static_cast<TKnob*>(object));
    if (className == QLatin1String("TVrBitmapDial"))
        return new AccessibleDial<TVrBitmapDial>(static_cast<TVrBitmapDial*>(object));
    if (className == QLatin1String("TVrAniButton"))
        return new AccessibleAniButton(static_cast<TVrAniButton*>(object));
    if (className == QLatin1String("TLCDLabel"))
        return new AccessibleLcd(static_cast<TLCDLabel*>(object));
    if (className == QLatin1String("QWidget") && isPlainWindow(object))
        return new AccessibleFrame(static_cast<QWidget*>(object));
    if (className == QLatin1String("LiveStatus"))
        return new AccessibleLiveStatus(static_cast<LiveStatus*>(object));
    return nullptr;
}

} // namespace

void installAccessibleControls() {
    static std::once_flag once;
    std::call_once(once, [] {
        QAccessible::installFactory(accessibleControl);
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(new TitleWatcher); // lives as long as the program
    });
}
