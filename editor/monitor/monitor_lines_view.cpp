#include "monitor_lines_view.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <algorithm>

namespace {

// Paints a line as one run of text: at 10,000 messages a second every visible row is new in each
// frame, and the style's item painting lays each text out three times (size, elision, drawing).
class LineDelegate : public QAbstractItemDelegate {
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const QFontMetrics& metrics = option.fontMetrics;
        const int baseline =
            option.rect.top() + (option.rect.height() - metrics.height()) / 2 + metrics.ascent();
        painter->drawText(
            QPoint(option.rect.left() + kTextMargin, baseline),
            shownText(index.data().toString(), metrics, option.rect.width() - 2 * kTextMargin));
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter,
                                                  option.widget);
        }
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {option.fontMetrics.horizontalAdvance(index.data().toString()) + 2 * kTextMargin,
                option.fontMetrics.height()};
    }

private:
    static constexpr int kTextMargin = 3;

    // A line too long for the row ends in an ellipsis; its tooltip has it whole. A line of
    // Latin-1 in the fixed font is as wide as its length says: one that fits is not measured.
    static QString shownText(const QString& text, const QFontMetrics& metrics, int width) {
        const bool latin1 =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
        if (latin1 && text.size() * metrics.horizontalAdvance(QLatin1Char('M')) <= width)
            return text;
        return metrics.elidedText(text, Qt::ElideRight, width);
    }
};

// The list's scroll bar. In a flood the range and the value change with every drawing of the
// list while the handle stays where it is drawn, at the end: the bar is drawn again only when
// what it shows has changed once the changes of the moment are done.
class LinesScrollBar : public QScrollBar {
public:
    LinesScrollBar() : QScrollBar(Qt::Vertical) {}

protected:
    void sliderChange(SliderChange change) override {
        if (change == SliderOrientationChange) return QScrollBar::sliderChange(change);
        if (m_lookDue) return;
        m_lookDue = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_lookDue = false;
                if (look() != m_drawn) update();
            },
            Qt::QueuedConnection);
    }
    void paintEvent(QPaintEvent* event) override {
        m_drawn = look();
        QScrollBar::paintEvent(event);
    }

private:
    // What the bar shows: where its handle is, and whether it is at either end.
    struct Look {
        QRect handle;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look&) const = default;
    };
    Look look() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        this),
                value() == minimum(), value() == maximum()};
    }

    Look m_drawn;
    bool m_lookDue = false;
};

// One line of the view as assistive technology reads it: a list item named by its text.
class AccessibleLine : public QAccessibleInterface {
public:
    AccessibleLine(MonitorLinesView* view, int row) : m_view(view), m_row(row) {}
    int row() const { return m_row; }

    bool isValid() const override {
        return m_view && m_view->model() && m_row < m_view->model()->rowCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_view);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? index().data(Qt::AccessibleTextRole).toString()
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect shown = m_view->visualRect(index());
        return QRect(m_view->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.focusable = true;
        state.multiSelectable = true;
        if (!isValid()) return state;
        state.selected = m_view->selectionModel()->isSelected(index());
        state.focused = m_view->hasFocus() && m_view->currentIndex() == index();
        state.invisible = !m_view->viewport()->rect().intersects(m_view->visualRect(index()));
        state.offscreen = state.invisible;
        return state;
    }

private:
    QModelIndex index() const {
        return m_view->model() ? m_view->model()->index(m_row, 0) : QModelIndex();
    }

    QPointer<MonitorLinesView> m_view;
    int m_row;
};

// The view as a list of its lines: the lines are its children, the scroll bars are not.
class AccessibleLines : public QAccessibleWidget {
public:
    explicit AccessibleLines(MonitorLinesView* view) : QAccessibleWidget(view, QAccessible::List) {}

    int childCount() const override { return view()->model() ? view()->model()->rowCount() : 0; }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < childCount() ? view()->accessibleLine(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* line = dynamic_cast<const AccessibleLine*>(child);
        return line && line->parent() == this ? line->row() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = view()->currentIndex();
        return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }

private:
    MonitorLinesView* view() const { return static_cast<MonitorLinesView*>(widget()); }
};

QAccessibleInterface* accessibleLinesFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("MonitorLinesView") && object->isWidgetType())
        return new AccessibleLines(static_cast<MonitorLinesView*>(object));
    return nullptr;
}

} // namespace

MonitorLinesView::MonitorLinesView(QWidget* parent) : QTableView(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleLinesFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // Lines of plain ASCII in a fixed font need no shaping; skipping it halves their drawing.
    QFont lines = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lines.setStyleStrategy(QFont::PreferNoShaping);
    setFont(lines);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Rows of one fixed height are never measured: appending does not look at the other rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    // Lines are as wide as the list: a sideways scroll bar would be drawn again with every
    // frame of new lines, and the whole line is in its tooltip, Copy and Save As.
    horizontalHeader()->setStretchLastSection(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The corner button selects all; it hides with the headers but is named all the same.
    if (auto* corner = findChild<QAbstractButton*>()) corner->setAccessibleName(tr("Select all"));
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new LineDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollBar(new LinesScrollBar);
}

MonitorLinesView::~MonitorLinesView() {
    forgetAccessibleLines();
}

QAccessibleInterface* MonitorLinesView::accessibleLine(int row) {
    const auto known = m_accessibleLines.constFind(row);
    if (known != m_accessibleLines.cend()) return QAccessible::accessibleInterface(*known);
    auto* line = new AccessibleLine(this, row);
    m_accessibleLines.insert(row, QAccessible::registerAccessibleInterface(line));
    return line;
}

// Rows leaving move every later line to another row: their items are made afresh when asked.
void MonitorLinesView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    forgetAccessibleLines();
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void MonitorLinesView::reset() {
    forgetAccessibleLines();
    QTableView::reset();
}

void MonitorLinesView::forgetAccessibleLines() {
    for (const QAccessible::Id id : std::as_const(m_accessibleLines))
        QAccessible::deleteAccessibleInterface(id);
    m_accessibleLines.clear();
}

QModelIndex MonitorLinesView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

// Announced as the list's item of that row (a table would count its header cells too).
void MonitorLinesView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
    QAbstractItemView::currentChanged(current, previous);
}

// One event for the change, however many lines it selects.
void MonitorLinesView::selectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&event);
    }
    QAbstractItemView::selectionChanged(selected, deselected);
}
