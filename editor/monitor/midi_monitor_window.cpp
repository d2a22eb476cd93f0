#include "midi_monitor_window.h"

#include "dump_file.h"
#include "monitor_lines_view.h"
#include "page_controls.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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
    // for the next frame); there must be room for them (makeRoom), else the oldest are skipped.
    void take(std::vector<MonitorLine>& lines) {
        const std::size_t skipped = lines.size() - newestThatFit(lines);
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
    bool hasRoomFor(const MonitorAmount& more) const { return more.fitsIn(m_log.room()); }
    // Makes room for `more`, telling the view of the rows that leave at the top. Rows leaving
    // change every row the view shows: they leave a twentieth of either cap at a time rather than
    // a few every frame.
    void makeRoom(MonitorAmount more) {
        const MonitorAmount room = m_log.room();
        if (more.fitsIn(room)) return;
        if (more.lines > room.lines)
            more.lines = std::max(more.lines, room.lines + m_log.capacity() / 20);
        if (more.bytes > room.bytes)
            more.bytes = std::max(more.bytes, room.bytes + m_log.byteBudget() / 20);
        const std::size_t oldest = m_log.oldestLeavingFor(more);
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
    // How many of the newest of `lines` the log has room for.
    std::size_t newestThatFit(const std::vector<MonitorLine>& lines) const {
        const MonitorAmount room = m_log.room();
        MonitorAmount newest;
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            const MonitorAmount more = newest + MonitorAmount{1, line->message().size()};
            if (!more.fitsIn(room)) break;
            newest = more;
        }
        return newest.lines;
    }

    MonitorLog& m_log;
    std::size_t m_shown = 0; // visible lines the view knows of: the oldest ones
};

using page_controls::caption;
using page_controls::Room;
using page_controls::widgetRow;
using page_controls::named;
using page_controls::pushButton;

namespace {

QCheckBox* filterBox(const QString& caption, const char* objectName) {
    auto* box = named(new QCheckBox(caption), objectName, caption);
    box->setChecked(true);
    return box;
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
    for (QCheckBox* box : {ShowIn, ShowOut, ShowChannel, ShowSysEx, ShowRealTime, ShowCommon})
        connect(box, &QCheckBox::toggled, this, &MidiMonitorWindow::applyFilter);
    connect(ChannelFilter, &QComboBox::currentIndexChanged, this, &MidiMonitorWindow::applyFilter);
    // A combo box is read by the item it shows and by the label that names it.
    return widgetRow({ShowIn, ShowOut, ShowChannel, ShowSysEx, ShowRealTime, ShowCommon,
                      caption(tr("Channels :"), ChannelFilter), ChannelFilter});
}

QWidget* MidiMonitorWindow::makeButtonRow() {
    PauseButton = pushButton(tr("Pause"), "PauseButton");
    PauseButton->setCheckable(true);
    ClearButton = pushButton(tr("Clear"), "ClearButton");
    CopyButton = pushButton(tr("Copy"), "CopyButton");
    SaveAsButton = pushButton(tr("Save As…"), "SaveAsButton");
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
    return widgetRow({PauseButton, ClearButton, CopyButton, SaveAsButton}, Room::Before);
}

// The pieces are joined also while paused, so that a message going on after the pause is whole.
void MidiMonitorWindow::record(Direction direction, const std::string& port,
                               std::span<const std::uint8_t> piece) {
    if (piece.empty()) return;
    m_lastRecordMs = m_clock.elapsed();
    joinerOf(direction, m_log.portNumber(port)).take(piece);
    if (m_log.paused()) return;
    if ((m_flushAfterInput || m_drawAfterInput) && !m_afterInput->isActive()) m_afterInput->start();
}

void MidiMonitorWindow::cutOff(Direction direction) {
    m_lastRecordMs = m_clock.elapsed(); // the time of the cut line
    for (PortJoin& join : m_joins)
        if (join.direction == direction) join.joiner.finish();
}

SysExJoiner& MidiMonitorWindow::joinerOf(Direction direction, std::uint16_t port) {
    for (PortJoin& join : m_joins)
        if (join.direction == direction && join.port == port) return join.joiner;
    const auto keepLine = [this, direction, port](std::span<const std::uint8_t> message) {
        keep(direction, port, message);
    };
    m_joins.push_back({direction, port, SysExJoiner(keepLine)});
    return m_joins.back().joiner;
}

void MidiMonitorWindow::keep(Direction direction, std::uint16_t port,
                             std::span<const std::uint8_t> message) {
    if (!m_log.paused()) m_pending.emplace_back(m_lastRecordMs, direction, port, message);
}

// MIDI input comes in batches, one per period of the driver; the desk has until the next batch
// to answer one. A frame drawn just before a batch would hold it up, so while input streams the
// frame waits for the end of the next batch: its lines reach the list in the quiet that follows,
// and the list is drawn in the quiet after the batch after that, so that no quiet holds both. A
// frame that waited a whole frame interval in vain is shown and drawn anyway.
void MidiMonitorWindow::frameDue() {
    if (m_drawAfterInput) return drawList();
    if (m_pending.empty() && m_takenSinceDrawn.lines == 0) return;
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
    if (m_pending.empty() && m_takenSinceDrawn.lines == 0) return;
    const int rowHeight = std::max(1, Lines->verticalHeader()->defaultSectionSize());
    m_flood = m_pending.size() > std::size_t(Lines->viewport()->height() / rowHeight);
    const MonitorAmount pending = MonitorAmount::of(m_pending);
    m_takenSinceDrawn = m_takenSinceDrawn + pending;
    const bool draw = !m_flood || !m_sinceDrawn.isValid() ||
                      m_sinceDrawn.elapsed() >= kFloodFrameMs || !m_model->hasRoomFor(pending);
    const QScrollBar* scroll = Lines->verticalScrollBar();
    const bool following = scroll->value() >= m_followedTo;
    if (draw && when == DrawList::AfterNextInput) {
        Lines->viewport()->setUpdatesEnabled(false);
        m_drawAfterInput = true;
    }
    // Room for the lines taken now and, until the next drawing, as many again as came since the
    // last one (these included), so that none leave in between.
    if (draw) m_model->makeRoom(pending + m_takenSinceDrawn);
    m_model->take(m_pending);
    if (!draw) return;
    m_model->show();
    m_sinceDrawn.start();
    m_takenSinceDrawn = {};
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
