#include "form_driver.h"

#include "midi_in.h"
#include "midi_input_splitter.h"
#include "midi_monitor_window.h"
#include "midi_out.h"
#include "monitor_lines_view.h"
#include "sysex_protocol.h"
#include "wait_for.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSimulator = QStringLiteral("vPultron64 Simulator");
constexpr int kFloodMs = MidiMonitorWindow::kFloodFrameMs;

// The editor window on the simulator with its monitor open, after a bank request (two SysEx
// out, eight dump blocks in), a control change and a clock sent out.
class MidiMonitor : public ::testing::Test {
protected:
    void SetUp() override {
        QTest::mouseClick(page.ShowMidiMonitor, Qt::LeftButton);
        ASSERT_TRUE(monitor.isVisible());
        ASSERT_TRUE(choose(page.MIDIOutComboBox, kSimulator));
        ASSERT_TRUE(choose(page.MIDIInComboBox, kSimulator));
        QTest::mouseClick(page.RequestSysexDump, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return monitor.log().size() == 10; }));
        form.MidiOut1->Put(0xB0, 91, 100);
        form.MidiOut1->Put(0xF8, 0, 0);
        ASSERT_TRUE(waitFor([&] { return rows().size() == 12; }));
    }

    // The list's items as the view and assistive technology get them.
    QStringList rows() const {
        QStringList texts;
        const QAbstractItemModel* model = monitor.Lines->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            EXPECT_EQ(index.data(Qt::AccessibleTextRole), index.data()) << row;
            EXPECT_EQ(index.data(Qt::ToolTipRole), index.data()) << row; // whole, if elided
            texts << index.data().toString();
        }
        return texts;
    }

    // `count` clocks sent out, put into the list at once.
    void recordClocks(int count) {
        const std::uint8_t clock[] = {0xF8};
        for (int i = 0; i < count; ++i)
            monitor.record(midi_meaning::Direction::Out, "synth", clock);
        monitor.flush();
        QApplication::processEvents();
    }

    TForm1 form{TForm1::Options{QString(), QStringLiteral("sim")}};
    TransferPage& page = *form.FileSheet;
    MidiMonitorWindow& monitor = form.midiMonitor();
};

int countContaining(const QStringList& lines, const QString& part) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const QString& l) { return l.contains(part); }));
}

} // namespace

TEST_F(MidiMonitor, ShowsWhatGoesOutAndComesInNamedByTheBank) {
    const QStringList lines = rows();
    EXPECT_EQ(countContaining(lines, " out " + kSimulator), 4);
    EXPECT_EQ(countContaining(lines, " in  " + kSimulator), 8);
    EXPECT_EQ(countContaining(lines, "dump request"), 1);
    EXPECT_EQ(countContaining(lines, "dump block 8 of 8"), 1);
    EXPECT_TRUE(lines[10].contains("Control Change ch 1 cc 91 = 100, pot 1"))
        << lines[10].toStdString();
    EXPECT_TRUE(lines[11].endsWith("Timing Clock")) << lines[11].toStdString();
    EXPECT_EQ(monitor.Lines->verticalScrollBar()->value(),
              monitor.Lines->verticalScrollBar()->maximum());
}

TEST_F(MidiMonitor, FiltersHideAndShowLines) {
    struct Case {
        QCheckBox* box;
        int channel; // index in the channel list: 0 all, else the channel
        int shown;
    };
    const std::vector<Case> cases{
        {monitor.ShowIn, 0, 4},
        {monitor.ShowOut, 0, 8},
        {monitor.ShowSysEx, 0, 2},
        {monitor.ShowChannel, 0, 11},
        {monitor.ShowRealTime, 0, 11},
        {nullptr, 2, 11},
        {nullptr, 1, 12},
    };
    for (const Case& c : cases) {
        if (c.box) QTest::mouseClick(c.box, Qt::LeftButton);
        monitor.ChannelFilter->setCurrentIndex(c.channel);
        EXPECT_EQ(rows().size(), c.shown) << (c.box ? c.box->text().toStdString() : "channel");
        if (c.box) QTest::mouseClick(c.box, Qt::LeftButton);
        monitor.ChannelFilter->setCurrentIndex(0);
        EXPECT_EQ(rows().size(), 12);
    }
}

TEST_F(MidiMonitor, SaveAsWritesTheShownLinesAndPauseAndClearStopAndEmpty) {
    QTest::mouseClick(monitor.ShowIn, Qt::LeftButton);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("monitor.txt"));
    ASSERT_TRUE(monitor.saveTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), rows().join('\n') + '\n');
    EXPECT_FALSE(monitor.saveTo(dir.filePath(QStringLiteral("missing/monitor.txt"))));

    QTest::mouseClick(monitor.PauseButton, Qt::LeftButton);
    form.MidiOut1->Put(0xB0, 91, 1);
    QTest::qWait(4 * MidiMonitorWindow::kFrameMs);
    EXPECT_EQ(rows().size(), 4);
    QTest::mouseClick(monitor.PauseButton, Qt::LeftButton);
    form.MidiOut1->Put(0xB0, 91, 2);
    ASSERT_TRUE(waitFor([&] { return rows().size() == 5; }));
    EXPECT_TRUE(rows().last().contains("= 2")) << rows().last().toStdString();

    QTest::mouseClick(monitor.ClearButton, Qt::LeftButton);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(monitor.log().size(), 0u);
}

TEST_F(MidiMonitor, LinesReadAsListItemsAndCopyTakesTheLinesSelectedByKeyboard) {
    const QStringList lines = rows();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(monitor.Lines);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), lines.size());
    for (int row = 0; row < lines.size(); ++row) {
        QAccessibleInterface* item = list->child(row);
        EXPECT_EQ(item->role(), QAccessible::ListItem) << row;
        EXPECT_EQ(item->text(QAccessible::Name), lines[row]);
        EXPECT_EQ(list->indexOfChild(item), row);
        EXPECT_EQ(item->parent(), list) << row;
    }
    QTest::keyClick(monitor.Lines, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(monitor.Lines, Qt::Key_Down);
    QTest::keyClick(monitor.Lines, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(monitor.Lines, Qt::Key_Down, Qt::ShiftModifier);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(list->child(row)->state().selected, row >= 1 && row <= 3) << row;
    QTest::mouseClick(monitor.CopyButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), lines.mid(1, 3).join('\n') + '\n');
}

TEST_F(MidiMonitor, FollowsNewLinesUnlessScrolledUpAlsoWhenTheOldestLeave) {
    QScrollBar* scroll = monitor.Lines->verticalScrollBar();
    recordClocks(100);
    // A flood is shown within its interval, also when nothing comes after it.
    ASSERT_TRUE(
        waitFor([&] { return scroll->maximum() > 0 && scroll->value() == scroll->maximum(); },
                2 * kFloodMs));
    scroll->setValue(0);
    recordClocks(100);
    EXPECT_EQ(scroll->value(), 0);
    scroll->setValue(scroll->maximum());

    // At the cap the oldest lines leave; the list and its accessible items follow.
    recordClocks(static_cast<int>(MonitorLog::kCapacity));
    recordClocks(1);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    const QAbstractItemModel* model = monitor.Lines->model();
    ASSERT_LT(std::size_t(model->rowCount()), MonitorLog::kCapacity);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(monitor.Lines);
    EXPECT_EQ(list->childCount(), model->rowCount());
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), model->index(0, 0).data().toString());
    EXPECT_TRUE(model->index(0, 0).data().toString().endsWith("Timing Clock"));
}

// A flood of more than a screenful a frame is drawn four times a second; a trickle every frame
// again.
TEST_F(MidiMonitor, AFloodIsShownFourTimesASecondATrickleEveryFrame) {
    EXPECT_EQ(monitor.drawInterval(), MidiMonitorWindow::kFrameMs);
    const int screenful =
        monitor.Lines->viewport()->height() / monitor.Lines->verticalHeader()->defaultSectionSize();
    for (const auto& [count, interval] :
         {std::pair{screenful + 1, MidiMonitorWindow::kFloodFrameMs},
          std::pair{screenful, MidiMonitorWindow::kFrameMs}}) {
        recordClocks(count);
        EXPECT_EQ(monitor.drawInterval(), interval) << count;
    }
}

// While input streams, a frame waits for the end of the next batch and is shown right after it,
// and drawn after the batch after that: a steady stream is shown as it goes, not once it stops.
TEST_F(MidiMonitor, AStreamIsShownRightAfterEachBatch) {
    const std::uint8_t clock[] = {0xF8};
    const qsizetype before = rows().size();
    bool waited = false, drawnAfterNextBatch = false;
    qsizetype shownWhileStreaming = before;
    QElapsedTimer streaming;
    streaming.start();
    while (streaming.elapsed() < 10 * MidiMonitorWindow::kFrameMs) {
        monitor.record(midi_meaning::Direction::In, "synth", clock);
        waited |= monitor.flushWaitsForInput();
        QTest::qWait(1);
        drawnAfterNextBatch |= !monitor.Lines->viewport()->updatesEnabled();
        shownWhileStreaming = monitor.Lines->model()->rowCount();
    }
    EXPECT_TRUE(waited);
    EXPECT_TRUE(drawnAfterNextBatch);
    EXPECT_GT(shownWhileStreaming, before + 4);
    EXPECT_TRUE(waitFor([&] { return monitor.Lines->viewport()->updatesEnabled(); },
                        2 * MidiMonitorWindow::kFrameMs));
}

// In a flood at the cap the list's range changes with every drawing while the scroll bar's handle
// stays at the end: the bar is drawn again only when its handle moves.
TEST_F(MidiMonitor, TheScrollBarIsDrawnAgainOnlyWhenItsHandleMoves) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    QScrollBar* scroll = monitor.Lines->verticalScrollBar();
    const QAbstractItemModel* model = monitor.Lines->model();
    recordClocks(static_cast<int>(MonitorLog::kCapacity));
    ASSERT_TRUE(waitFor([&] { return scroll->value() == scroll->maximum(); }, 2 * kFloodMs));
    scroll->installEventFilter(&counter);
    const int rowsBefore = model->rowCount();
    recordClocks(2'000);
    ASSERT_TRUE(waitFor([&] { return model->rowCount() != rowsBefore; }, 2 * kFloodMs));
    QTest::qWait(kFloodMs);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    EXPECT_EQ(counter.paints, 0);
    scroll->setValue(scroll->maximum() / 2);
    EXPECT_TRUE(waitFor([&] { return counter.paints > 0; }));
}

// The MIDI IN port's splitter passes a long SysEx message on in chunks of its input buffer: the
// monitor joins them per port and direction and shows one line, cut where it was broken off.
TEST_F(MidiMonitor, ALongSysExMessageInPiecesIsOneLine) {
    const auto in = [&](std::span<const std::uint8_t> piece) {
        monitor.record(midi_meaning::Direction::In, "synth", piece);
    };
    MidiInputSplitter splitter(
        TMidiIn::SysexBufferSize, TMidiIn::kMaxSysExLength,
        [&](std::uint8_t status, std::uint8_t first, std::uint8_t second) {
            const std::uint8_t message[] = {status, first, second};
            in(std::span(message, std::size_t(shortMessageLength(status))));
        },
        in, [](long long, bool) {});
    Bytes dump(sysex::kHeader.begin(), sysex::kHeader.end());
    dump.push_back(sysex::WholeDump);
    dump.resize(sysex::kWholeDumpSize - 1, 0x11);
    dump.push_back(sysex::kEnd);
    const Bytes head(dump.begin(), dump.begin() + 1000), tail(dump.begin() + 1000, dump.end());
    const Bytes noteOn{0x90, 60, 64};
    struct Step {
        const char* what;
        std::function<void()> send;
        QStringList lines;
    };
    const std::vector<Step> steps{
        {"in two pieces, a message out between them",
         [&] {
             splitter.split(head);
             form.MidiOut1->Put(0xB0, 91, 1);
             splitter.split(tail);
         },
         {"Control Change ch 1 cc 91 = 1, pot 1 \"Reverb # 1\" = 1",
          "whole dump (device 0, 2055 bytes)"}},
        {"broken off by a note",
         [&] {
             splitter.split(head);
             splitter.split(noteOn);
         },
         {"whole dump (device 0, 1001 bytes), cut off by 90", "Note On ch 1 C4 vel 64"}},
        {"cut by input dropped amid it",
         [&] {
             splitter.split(head);
             emit form.MidiIn1->inputDropped(1);
             splitter.split(tail);
         },
         {"whole dump (device 0, 1000 bytes), cut off", "the rest of a SysEx message"}},
        {"cut by the port closing",
         [&] {
             splitter.split(head);
             form.MidiIn1->SetUsing(false);
         },
         {"whole dump (device 0, 1000 bytes), cut off"}},
    };
    for (const Step& step : steps) {
        const qsizetype before = rows().size();
        step.send();
        monitor.flush();
        const QStringList shown = rows().mid(before);
        ASSERT_EQ(shown.size(), step.lines.size()) << step.what;
        for (qsizetype i = 0; i < shown.size(); ++i)
            EXPECT_TRUE(shown[i].endsWith(step.lines[i])) << step.what << shown[i].toStdString();
    }
    QTest::mouseClick(monitor.ShowSysEx, Qt::LeftButton);
    EXPECT_EQ(countContaining(rows(), " F0 "), 0);

    // A flood of whole dumps stays within the log's byte budget.
    for (int i = 0; i < 10'000; ++i)
        in(dump);
    monitor.flush();
    EXPECT_LE(monitor.log().bytes(), MonitorLog::kByteBudget);
    EXPECT_GT(monitor.log().size(), MonitorLog::kByteBudget / dump.size() * 9 / 10);
}
