#include "midi_monitor_window.h"

#include "dump_file.h"
#include "monitor_lines_view.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

using midi_meaning::Direction;

// MonitorListModel: the visible lines of a MonitorLog as list items, so that the view asks only
// for the rows it paints however many lines the log holds. Lines taken into the log reach the
// view when they are shown: the view draws every row again when it hears of new ones, even below
// what it shows.
class MonitorListModel : public QAbstractListModel {
public:
    MonitorListModel(MonitorLog& log, QObject* parent) : QAbstractListModel(parent), m_log(log) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_shown);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() ||
            (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::ToolTipRole))
            return {};
        return QString::fromStdString(
            m_log.text(m_log.visible(static_cast<std::size_t>(index.row()))));
    }

    // Takes the lines into the log, not yet shown, and empties `lines` (keeping its capacity
    // for the next frame); there must be room for them (makeRoom).
    void take(std::vector<MonitorLine>& lines) {
        const std::size_t skipped = lines.size() - std::min(lines.size(), room());
        for (auto line = lines.begin() + static_cast<std::ptrdiff_t>(skipped); line != lines.end();
             ++line)
            m_log.append(std::move(*line));
        lines.clear();
    }
    // Tells the view of the rows taken since the last time.
    void show() {
        if (m_log.visibleCount() == m_shown) return;
        beginInsertRows({}, static_cast<int>(m_shown), static_cast<int>(m_log.visibleCount()) - 1);
        m_shown = m_log.visibleCount();
        endInsertRows();
    }
    std::size_t room() const { return m_log.capacity() - m_log.size(); }
    // Makes room for `count` more lines, telling the view of the rows that leave at the top.
    // Rows leaving change every row the view shows: they leave a twentieth of the log at a time
    // rather than a few every frame.
    void makeRoom(std::size_t count) {
        const std::size_t capacity = m_log.capacity();
        if (count <= room()) return;
        const std::size_t oldest =
            std::min(m_log.size(), std::max(std::min(count, capacity) - room(), capacity / 20));
        // The oldest lines are shown ones, unless more than the log holds came unshown.
        const std::size_t rows = std::min(m_log.visibleAmongOldest(oldest), m_shown);
        if (rows > 0) beginRemoveRows({}, 0, static_cast<int>(rows) - 1);
        m_log.dropOldest(oldest);
        m_shown -= rows;
        if (rows > 0) endRemoveRows();
    }
    void reset(const std::function<void()>& change) {
        beginResetModel();
        change();
        m_shown = m_log.visibleCount();
        endResetModel();
    }

private:
    MonitorLog& m_log;
    std::size_t m_shown = 0; // visible lines the view knows of: the oldest ones
};

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QCheckBox* filterBox(const QString& caption, const char* objectName) {
    auto* box = named(new QCheckBox(caption), objectName, caption);
    box->setChecked(true);
    return box;
}

QPushButton* button(const QString& caption, const char* objectName) {
    return named(new QPushButton(caption), objectName, caption);
}

} // namespace

MidiMonitorWindow::MidiMonitorWindow(const BankRecord& bank, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    m_log.nameBy(&bank);
    setObjectName(QStringLiteral("MidiMonitor"));
    setWindowTitle(tr("MIDI Monitor"));
    setAccessibleName(tr("MIDI Monitor"));
    m_model = new MonitorListModel(m_log, this);
    Lines = named(new MonitorLinesView, "MonitorLines", tr("MIDI messages"));
    Lines->setModel(m_model);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFilterRow());
    layout->addWidget(Lines, 1);
    layout->addWidget(makeButtonRow());
    resize(1000, 480);

    m_frame = new QTimer(this);
    m_frame->setInterval(kFrameMs);
    connect(m_frame, &QTimer::timeout, this, &MidiMonitorWindow::frameDue);
    m_frame->start();
    m_afterInput = new QTimer(this);
    m_afterInput->setSingleShot(true);
    m_afterInput->setInterval(0);
    connect(m_afterInput, &QTimer::timeout, this, &MidiMonitorWindow::afterInput);
    m_clock.start();
}

MidiMonitorWindow::~MidiMonitorWindow() = default;

QWidget* MidiMonitorWindow::makeFilterRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    ShowIn = filterBox(tr("In"), "ShowIn");
    ShowOut = filterBox(tr("Out"), "ShowOut");
    ShowChannel = filterBox(tr("Channel messages"), "ShowChannel");
    ShowSysEx = filterBox(tr("SysEx"), "ShowSysEx");
    ShowRealTime = filterBox(tr("Real-time"), "ShowRealTime");
    ShowCommon = filterBox(tr("System common"), "ShowCommon");
    ChannelFilter = named(new QComboBox, "ChannelFilter", tr("Channel"));
    ChannelFilter->addItem(tr("All channels"));
    for (int channel = 1; channel <= 16; ++channel)
        ChannelFilter->addItem(tr("Channel %1").arg(channel));
    for (QCheckBox* box : {ShowIn, ShowOut, ShowChannel, ShowSysEx, ShowRealTime, ShowCommon}) {
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &MidiMonitorWindow::applyFilter);
    }
    layout->addWidget(ChannelFilter);
    layout->addStretch(1);
    connect(ChannelFilter, &QComboBox::currentIndexChanged, this, &MidiMonitorWindow::applyFilter);
    return row;
}

QWidget* MidiMonitorWindow::makeButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    PauseButton = button(tr("Pause"), "PauseButton");
    PauseButton->setCheckable(true);
    ClearButton = button(tr("Clear"), "ClearButton");
    CopyButton = button(tr("Copy"), "CopyButton");
    SaveAsButton = button(tr("Save As…"), "SaveAsButton");
    layout->addStretch(1);
    for (QPushButton* b : {PauseButton, ClearButton, CopyButton, SaveAsButton})
        layout->addWidget(b);
    // While paused, what arrives is discarded: the list stays as it is to be read.
    connect(PauseButton, &QPushButton::toggled, this, [this](bool paused) {
        m_log.setPaused(paused);
        m_pending.clear();
    });
    connect(ClearButton, &QPushButton::clicked, this, [this] {
        m_model->reset([this] { m_log.clear(); });
        followNewest();
    });
    connect(CopyButton, &QPushButton::clicked, this, &MidiMonitorWindow::copyLines);
    connect(SaveAsButton, &QPushButton::clicked, this, &MidiMonitorWindow::saveAsClick);
    return row;
}

void MidiMonitorWindow::record(Direction direction, const std::string& port,
                               std::span<const std::uint8_t> message) {
    if (m_log.paused() || message.empty()) return;
    m_lastRecordMs = m_clock.elapsed();
    m_pending.emplace_back(m_lastRecordMs, direction, m_log.portNumber(port), message);
    if ((m_flushAfterInput || m_drawAfterInput) && !m_afterInput->isActive()) m_afterInput->start();
}

// MIDI input comes in batches, one per period of the driver; the desk has until the next batch
// to answer one. A frame drawn just before a batch would hold it up, so while input streams the
// frame waits for the end of the next batch: its lines reach the list in the quiet that follows,
// and the list is drawn in the quiet after the batch after that, so that no quiet holds both. A
// frame that waited a whole frame interval in vain is shown and drawn anyway.
void MidiMonitorWindow::frameDue() {
    if (m_drawAfterInput) return drawList();
    if (m_pending.empty() && m_linesSinceDrawn == 0) return;
    const bool streaming = m_clock.elapsed() - m_lastRecordMs < kStreamingMs;
    if (streaming && !m_flushAfterInput) {
        m_flushAfterInput = true;
        return;
    }
    flush();
}

void MidiMonitorWindow::afterInput() {
    if (m_drawAfterInput) return drawList();
    showLines(DrawList::AfterNextInput);
}

void MidiMonitorWindow::drawList() {
    m_drawAfterInput = false;
    Lines->viewport()->setUpdatesEnabled(true);
}

void MidiMonitorWindow::flush() {
    showLines(DrawList::Now);
    if (m_drawAfterInput) drawList();
}

// Each frame takes the lines into the log; they are shown (the list scrolled to them) every
// frame, or every kFloodFrameMs in a flood, or sooner when the log has no room left for them.
// Drawing is what costs: the work of one frame stays short, and rows leave the top only in a
// frame that draws anyway.
void MidiMonitorWindow::showLines(DrawList when) {
    m_flushAfterInput = false;
    m_afterInput->stop();
    if (m_pending.empty() && m_linesSinceDrawn == 0) return;
    const int rowHeight = std::max(1, Lines->verticalHeader()->defaultSectionSize());
    m_flood = m_pending.size() > std::size_t(Lines->viewport()->height() / rowHeight);
    m_linesSinceDrawn += m_pending.size();
    const bool draw = !m_flood || !m_sinceDrawn.isValid() ||
                      m_sinceDrawn.elapsed() >= kFloodFrameMs || m_pending.size() > m_model->room();
    const QScrollBar* scroll = Lines->verticalScrollBar();
    const bool following = scroll->value() >= m_followedTo;
    if (draw && when == DrawList::AfterNextInput) {
        Lines->viewport()->setUpdatesEnabled(false);
        m_drawAfterInput = true;
    }
    // Room for the lines taken now and, until the next drawing, as many again as came since the
    // last one (these included), so that none leave in between.
    if (draw) m_model->makeRoom(m_pending.size() + m_linesSinceDrawn);
    m_model->take(m_pending);
    if (!draw) return;
    m_model->show();
    m_sinceDrawn.start();
    m_linesSinceDrawn = 0;
    if (following) followNewest();
}

void MidiMonitorWindow::followNewest() {
    Lines->scrollToBottom();
    m_followedTo = Lines->verticalScrollBar()->value();
}

int MidiMonitorWindow::drawInterval() const {
    return m_flood ? kFloodFrameMs : kFrameMs;
}
void MidiMonitorWindow::applyFilter() {
    MonitorFilter filter;
    filter.in = ShowIn->isChecked();
    filter.out = ShowOut->isChecked();
    filter.channelMessages = ShowChannel->isChecked();
    filter.sysEx = ShowSysEx->isChecked();
    filter.realTime = ShowRealTime->isChecked();
    filter.common = ShowCommon->isChecked();
    filter.channel = ChannelFilter->currentIndex();
    m_model->reset([&] { m_log.setFilter(filter); });
    followNewest();
}

// The selected lines, or every shown line when none is selected.
void MidiMonitorWindow::copyLines() {
    QModelIndexList rows = Lines->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        QApplication::clipboard()->setText(QString::fromStdString(m_log.visibleText()));
        return;
    }
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex& row : rows)
        text += row.data().toString() + QLatin1Char('\n');
    QApplication::clipboard()->setText(text);
}

bool MidiMonitorWindow::saveTo(const QString& path, QString* error) {
    return writeFileAtomically(path, QByteArray::fromStdString(m_log.visibleText()), error);
}

void MidiMonitorWindow::saveAsClick() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Save As"), QString(),
                                                      tr("Text files (*.txt);;All files (*)"));
    if (path.isEmpty()) return;
    QString error;
    if (!saveTo(path, &error))
        QMessageBox::warning(this, tr("MIDI Monitor"),
                             tr("Could not save \"%1\": %2").arg(path, error));
}
