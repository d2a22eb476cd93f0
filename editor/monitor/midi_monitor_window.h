// MidiMonitorWindow: the "MIDI Monitor" window. Shows each message that arrives on the editor's
// MIDI IN or leaves on its MIDI OUT as one line, named by the current bank's pots and buttons;
// the lines live in a MonitorLog and reach the list once per frame, put into words as they are
// shown. A SysEx message that comes in pieces is joined first and shown as one line.
#pragma once

#include "bank_record.h"
#include "monitor_log.h"
#include "sysex_joiner.h"

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class MonitorLinesView;
class MonitorListModel;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTimer;

class MidiMonitorWindow : public QWidget {
    Q_OBJECT
public:
    // `bank` names the pots and buttons; it must outlive the window.
    explicit MidiMonitorWindow(const BankRecord& bank, QWidget* parent = nullptr);
    ~MidiMonitorWindow() override;

    // Takes one message, or a piece of a SysEx message; a message reaches the list with the next
    // frame once it is whole.
    void record(midi_meaning::Direction direction, const std::string& port,
                std::span<const std::uint8_t> piece);
    // A SysEx message begun on the port of `direction` is shown cut: the port closed, or input
    // amid it was dropped.
    void cutOff(midi_meaning::Direction direction);
    // Puts the messages taken since the last frame into the list now (the frame timer's work).
    // While more than a screenful arrives each frame, nobody reads the lines as they pass: the
    // list then shows them every kFloodFrameMs, so that drawing them costs the desk little.
    void flush();
    // How often the list is drawn now: every frame, or every kFloodFrameMs in a flood.
    int drawInterval() const;
    // True while a frame is due and waits for the end of the messages arriving now.
    bool flushWaitsForInput() const { return m_flushAfterInput; }
    // Writes the shown lines to `path` atomically; false with `error` set when that failed.
    bool saveTo(const QString& path, QString* error = nullptr);
    const MonitorLog& log() const { return m_log; }

    MonitorLinesView* Lines = nullptr;
    QCheckBox* ShowIn = nullptr;
    QCheckBox* ShowOut = nullptr;
    QCheckBox* ShowChannel = nullptr;
    QCheckBox* ShowSysEx = nullptr;
    QCheckBox* ShowRealTime = nullptr;
    QCheckBox* ShowCommon = nullptr;
    QComboBox* ChannelFilter = nullptr; // "All channels", then channels 1 to 16
    QPushButton* PauseButton = nullptr;
    QPushButton* ClearButton = nullptr;
    QPushButton* CopyButton = nullptr;
    QPushButton* SaveAsButton = nullptr;

    static constexpr int kFrameMs = 16;
    static constexpr int kFloodFrameMs = 250;
    // Input this recent means more is arriving: the frame waits for the end of the next batch.
    // Longer than a driver's period (a JACK period of 2,048 frames at 44.1 kHz is 46 ms), so
    // that no frame is drawn just before a batch.
    static constexpr int kStreamingMs = 50;

private:
    enum class DrawList { Now, AfterNextInput };
    // The joiner of the pieces that one port passes in one direction.
    struct PortJoin {
        midi_meaning::Direction direction;
        std::uint16_t port;
        SysExJoiner joiner;
    };
    SysExJoiner& joinerOf(midi_meaning::Direction direction, std::uint16_t port);
    void keep(midi_meaning::Direction direction, std::uint16_t port,
              std::span<const std::uint8_t> message);
    void frameDue();
    void afterInput();
    void showLines(DrawList when);
    void drawList();
    void followNewest();
    QWidget* makeFilterRow();
    QWidget* makeButtonRow();
    void applyFilter();
    void copyLines();
    void saveAsClick();

    MonitorLog m_log;
    MonitorListModel* m_model = nullptr;
    QElapsedTimer m_clock;
    QTimer* m_frame = nullptr;
    QTimer* m_afterInput = nullptr; // runs once the messages arriving together are handled
    bool m_flushAfterInput = false;
    bool m_drawAfterInput = false; // the list's new rows are drawn after the next batch
    qint64 m_lastRecordMs = -1;
    bool m_flood = false;
    QElapsedTimer m_sinceDrawn;
    MonitorAmount m_takenSinceDrawn;
    int m_followedTo = 0; // the scroll position the list last followed the newest lines to
    std::vector<MonitorLine> m_pending; // lines of the frame to come
    std::vector<PortJoin> m_joins;
};
