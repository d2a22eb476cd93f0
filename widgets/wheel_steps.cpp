#include "wheel_steps.h"

#include <QWheelEvent>

namespace {

constexpr int kNotch = 120; // angle delta of one notch, in eighths of a degree
constexpr int kTenfold = 10;

} // namespace

int WheelSteps::take(const QWheelEvent& event) {
    const QPoint angle = event.angleDelta();
    // A tilting wheel, or a vertical one turned with Alt on X11, reports the horizontal axis.
    m_remainder += angle.y() != 0 ? angle.y() : angle.x();
    const int notches = m_remainder / kNotch;
    m_remainder -= notches * kNotch;
    const bool tenfold = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    return tenfold ? notches * kTenfold : notches;
}
