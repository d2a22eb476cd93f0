// StatusByteFields: the event type list, channel box and status byte field with its hex mirror
// that the pot and button pages share, each following the others.
#pragma once

#include "field_ranges.h"

#include <QObject>
#include <QStringList>

class EditCombo;
class HexByteEdit;
class SpinEdit;

class StatusByteFields : public QObject {
    Q_OBJECT
public:
    static constexpr int kLowestStatus = field_ranges::kStatus.min;
    static constexpr int kHighestStatus = field_ranges::kStatus.max;

    // `namePrefix` is "Pot" or "Butt": the controls are named <prefix>Byte0A, <prefix>Byte0B,
    // <prefix>Byte0 and <prefix>Byte0HEX.
    StatusByteFields(const QString& namePrefix, const QString& channelCaption,
                     QObject* parent = nullptr);

    static const QStringList& eventTypeItems();
    // The event type 9..15 of a status byte, or -1 when it has none.
    static int eventType(int status);

    EditCombo* typeList = nullptr; // created without a parent: the page lays them out
    SpinEdit* channel = nullptr;
    SpinEdit* statusByte = nullptr;
    HexByteEdit* mirror = nullptr;

signals:
    // The status byte changed; mirror, type list and channel box already show it.
    void statusChanged(int status);

private:
    void statusByteChange(int status);
    void typeChosen(int index);
    void channelChange(int channel);

    bool m_typeGuard = false;
    bool m_channelGuard = false;
};
