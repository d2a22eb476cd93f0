#include "midi_monitor_window.h"

#include "dump_file.h"
#include "monitor_lines_view.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QHBoxLayout>
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
// for the rows it paints however many lines the log holds.
class MonitorListModel : public QAbstractListModel {
public:
    MonitorListModel(MonitorLog& log, QObject* parent) : QAbstractListModel(parent), m_log(log) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_log.visibleCount());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        return QString::fromStdString(m_log.visible(static_cast<std::size_t>(index.row())).text);
    }

    // Adds the lines, telling the view first which rows leave at the top and which come at the
    // end, so that it keeps its selection and scroll position.
    void append(std::vector<MonitorLine> lines) {
        const std::size_t capacity = m_log.capacity();
        if (lines.size() > capacity)
            lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(capacity));
        const std::size_t room = capacity - m_log.size();
        if (lines.size() > room) {
            // Rows leaving at the top make the view lay out every row again: they leave a
            // twentieth of the log at a time rather than a few every frame.
            const std::size_t oldest =
                std::min(m_log.size(), std::max(lines.size() - room, capacity / 20));
            const int leaving = static_cast<int>(m_log.visibleAmongOldest(oldest));
            if (leaving > 0) beginRemoveRows({}, 0, leaving - 1);
            m_log.dropOldest(oldest);
            if (leaving > 0) endRemoveRows();
        }
        const auto shown = std::count_if(lines.begin(), lines.end(), [this](const MonitorLine& l) {
            return m_log.filter().accepts(l);
        });
        if (shown > 0) beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(shown) - 1);
        for (MonitorLine& line : lines)
            m_log.append(std::move(line));
        if (shown > 0) endInsertRows();
    }
    void reset(const std::function<void()>& change) {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    MonitorLog& m_log;
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
    : QWidget(parent, Qt::Window), m_bank(bank) {
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
    connect(m_frame, &QTimer::timeout, this, &MidiMonitorWindow::flush);
    m_frame->start();
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
    connect(ClearButton, &QPushButton::clicked, this,
            [this] { m_model->reset([this] { m_log.clear(); }); });
    connect(CopyButton, &QPushButton::clicked, this, &MidiMonitorWindow::copyLines);
    connect(SaveAsButton, &QPushButton::clicked, this, &MidiMonitorWindow::saveAsClick);
    return row;
}

void MidiMonitorWindow::record(Direction direction, const std::string& port,
                               std::span<const std::uint8_t> message) {
    if (m_log.paused() || message.empty()) return;
    // Put into words as it arrives, so that a frame's work does not grow with the messages.
    m_pending.push_back(
        {direction, midi_meaning::category(message), midi_meaning::channel(message),
         midi_meaning::monitorLine(m_clock.elapsed(), direction, port, message, &m_bank)});
}

void MidiMonitorWindow::flush() {
    if (m_pending.empty()) return;
    const QScrollBar* scroll = Lines->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    const int rowHeight = std::max(1, Lines->verticalHeader()->defaultSectionSize());
    const bool flood = m_pending.size() > std::size_t(Lines->viewport()->height() / rowHeight);
    m_frame->setInterval(flood ? kFloodFrameMs : kFrameMs);
    m_model->append(std::exchange(m_pending, {}));
    if (following) Lines->scrollToBottom();
}

int MidiMonitorWindow::frameInterval() const {
    return m_frame->interval();
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
    Lines->scrollToBottom();
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
