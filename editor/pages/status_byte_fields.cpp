#include "status_byte_fields.h"

#include "edit_combo.h"
#include "hex_byte_edit.h"
#include "page_controls.h"
#include "spin_edit.h"

#include <QScopedValueRollback>

using namespace page_controls;

namespace {

constexpr int kFirstType = 9;
constexpr int kLastType = 15;

QByteArray controlName(const QString& prefix, const char* suffix) {
    return (prefix + QLatin1String(suffix)).toLatin1();
}

} // namespace

StatusByteFields::StatusByteFields(const QString& namePrefix, const QString& channelCaption,
                                   QObject* parent)
    : QObject(parent) {
    typeList = named(new EditCombo(false), controlName(namePrefix, "Byte0A").constData(),
                     tr("Event Type :"));
    typeList->addItems(eventTypeItems());
    typeList->setCurrentIndex(-1);
    channel = numberField(1, 16, 1, controlName(namePrefix, "Byte0B").constData(), channelCaption);
    statusByte = numberField(kLowestStatus, kHighestStatus, kLowestStatus,
                             controlName(namePrefix, "Byte0").constData(), tr("Byte 0 :"));
    mirror = hexBox(controlName(namePrefix, "Byte0HEX").constData(), statusByte);
    describe(typeList, tr("The kind of MIDI event sent: the high digit of byte 0."));
    describe(channel, tr("The MIDI channel of the event, or the id of a meta event: the low "
                         "digit of byte 0 plus 1. Beyond 16 the event type moves on."));
    describe(statusByte, tr("Byte 0, the status byte of the event: its type and channel."));

    connect(statusByte, &SpinEdit::valueChanged, this, &StatusByteFields::statusByteChange);
    connect(typeList, &EditCombo::userChanged, this, &StatusByteFields::typeChosen);
    connect(channel, &SpinEdit::valueChanged, this, &StatusByteFields::channelChange);
}

const QStringList& StatusByteFields::eventTypeItems() {
    static const QStringList items = itemTexts(field_ranges::kEventTypeItems);
    return items;
}

int StatusByteFields::eventType(int status) {
    const int type = status / 16;
    return type >= kFirstType && type <= kLastType ? type : -1;
}

void StatusByteFields::statusByteChange(int status) {
    {
        QScopedValueRollback guard(m_typeGuard, true);
        const int type = eventType(status);
        typeList->setCurrentIndex(type < 0 ? -1 : type - kFirstType);
    }
    {
        QScopedValueRollback guard(m_channelGuard, true);
        channel->setValue(status % 16 + 1);
    }
    emit statusChanged(status);
}

// The channel nibble stays; the type follows the chosen item.
void StatusByteFields::typeChosen(int index) {
    if (m_typeGuard) return;
    statusByte->setValue(statusByte->value() % 16 + 16 * index + kLowestStatus);
}

// The type nibble stays as long as the channel is 1..16; beyond, the status moves on.
void StatusByteFields::channelChange(int newChannel) {
    if (m_channelGuard) return;
    const int status = statusByte->value();
    statusByte->setValue(status - status % 16 + newChannel - 1);
}
