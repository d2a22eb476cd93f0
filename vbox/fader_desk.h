// TFaderDesk: the virtual box window. Holds its design-time controls (hint, dot-matrix LCD,
// plain-text LCD panel) and builds, places and removes the run-time knobs, value labels and
// buttons of the standard desk. What the controls do is the VirtualBox's business.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

class ControlRegistry;
class DeskButton;
class QFrame;
class QLabel;
class TKnob;
class TLCDLabel;

class TFaderDesk : public QWidget {
    Q_OBJECT
public:
    explicit TFaderDesk(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    TLCDLabel* BackLightLCDPanel = nullptr;
    TKnob* TestKnob = nullptr;
    QFrame* LCDPanel = nullptr;
    std::array<QLabel*, 4> LCDLines{};

    // Removes every run-time control: every direct child whose Tag is not negative.
    void ClearDesk();
    // The 64 knobs and their value labels, entered in the registry; the window gets its width
    // and the height of the knob area.
    std::vector<TKnob*> CreateKnobs(ControlRegistry& registry);
    // The 64 push buttons below the knobs; the window grows by their rows.
    std::vector<DeskButton*> CreateButtons();
    // Centres both LCD presentations and empties the plain panel.
    void PrepareLcd();

signals:
    void lcdPanelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createLcdPanel();
    void createBackLightLcd();
};
