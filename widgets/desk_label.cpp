#include "desk_label.h"

#include "value_announcer.h"

#include <QAccessible>

namespace {

// Keeps a value label's accessible name on its text, a few times a second at most. A label with
// a name of its own sends no event for a new text, so a knob moved by a flood of messages does
// not send one for every value.
class LabelNameFollower : public QObject {
public:
    static constexpr const char* kName = "vpt64_label_name_follower";

    explicit LabelNameFollower(QLabel* label)
        : QObject(label), m_announcer(this, [label] { label->setAccessibleName(label->text()); }) {
        setObjectName(QLatin1String(kName));
    }
    void changed() { m_announcer.changed(); }

    static LabelNameFollower& of(QLabel* label) {
        auto* found = label->findChild<QObject*>(QLatin1String(kName), Qt::FindDirectChildrenOnly);
        return found ? *static_cast<LabelNameFollower*>(found) : *new LabelNameFollower(label);
    }

private:
    ValueAnnouncer m_announcer;
};

} // namespace

void TDeskLabel::SetCaption(const QString& text) {
    setText(text);
    adjustSize();
}

void setLabelText(QLabel* label, const QString& text) {
    if (auto* deskLabel = qobject_cast<TDeskLabel*>(label))
        deskLabel->SetCaption(text);
    else
        label->setText(text);
    if (QAccessible::isActive()) LabelNameFollower::of(label).changed();
}
