// Helpers that drive the editor window's transfer page as a user would and read it back.
#pragma once

#include "editor_window.h"
#include "qt_printers.h"
#include "spin_edit.h"
#include "status_log.h"
#include "transfer_page.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Moves the selector to the item with this text with the arrow keys, as a user would.
inline bool choose(QComboBox* selector, const QString& text) {
    const int target = selector->findText(text);
    if (target < 0) return false;
    selector->setFocus();
    while (selector->currentIndex() != target)
        QTest::keyClick(selector, selector->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    return true;
}

// The item whose text contains `part`.
inline QString itemContaining(QComboBox* selector, const QString& part) {
    for (int i = 0; i < selector->count(); ++i)
        if (selector->itemText(i).contains(part)) return selector->itemText(i);
    return {};
}

inline QColor statusColour(const TransferPage& page) {
    return page.StatusLabel->palette().color(QPalette::WindowText);
}

// What the page shows at one moment.
struct PageState {
    QString bytesToSend, blocksToSend, status;
    QColor colour;
    bool send, request, selectors;
    bool operator==(const PageState&) const = default;
};

inline PageState pageState(const TransferPage& page) {
    return {page.BytesToSend->text(),
            page.BlocksToSend->text(),
            page.StatusLabel->text(),
            statusColour(page),
            page.SlowSendToPultron->isEnabled(),
            page.RequestSysexDump->isEnabled(),
            page.MIDIInComboBox->isEnabled() && page.MIDIOutComboBox->isEnabled()};
}

inline std::ostream& operator<<(std::ostream& out, const PageState& s) {
    return out << s.bytesToSend.toStdString() << "/" << s.blocksToSend.toStdString() << " \""
               << s.status.toStdString() << "\" " << s.colour.name().toStdString()
               << " send=" << s.send << " request=" << s.request << " selectors=" << s.selectors;
}

inline Bytes bytesOf(const DumpBuffer& buffer) {
    const auto used = buffer.used();
    return Bytes(used.begin(), used.end());
}
