#pragma once

#include "app/Controls.h"
#include "platform/qt/GridTimer.h"

#include <QSet>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace clickpath::app {

class Form1;

// The window itself: its controls at their places, and their events handed to
// the handlers of Form1.
class Form1Window final : public QWidget, public Controls {
public:
    explicit Form1Window(QWidget* parent = nullptr);

    // Wires every event of the window to its handler.
    void connectHandlers(Form1& form);

    void setLabelCaption(LabelId label, const QString& caption) override;
    void setLabelColour(LabelId label, std::uint32_t bgr) override;
    QString text(TextBoxId box) const override;
    void setText(TextBoxId box, const QString& text) override;
    int checkValue() const override;
    void setTimerEnabled(TimerId timer, bool enabled) override;
    void setCommandEnabled(CommandId command, bool enabled) override;
    void setCaption(const QString& caption) override;
    void repaintNow() override;

    QPushButton* command(CommandId id) const { return commands_[static_cast<int>(id)]; }
    QLineEdit* textBox(TextBoxId id) const { return textBoxes_[static_cast<int>(id)]; }
    QLabel* label(LabelId id) const { return labels_[static_cast<int>(id)]; }
    platform::qt::GridTimer* timer(TimerId id) const { return timers_[static_cast<int>(id)].get(); }
    QCheckBox* check1() const { return check1_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Runs a box's validation before the focus leaves it, by Tab or by a
    // click on another control, and swallows that event when it cancels.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    // True when the focused box refuses to let the focus go.
    bool focusedBoxRefuses(QWidget* target);

    std::array<QPushButton*, 5> commands_{};
    std::array<QLineEdit*, 5> textBoxes_{};
    std::array<QLabel*, 6> labels_{};
    std::array<std::unique_ptr<platform::qt::GridTimer>, 2> timers_; // Timer1, Timer2
    QCheckBox* check1_ = nullptr;
    QSet<QLabel*> changedLabels_; // set since the last repaintNow
    Form1* form_ = nullptr;
};

} // namespace clickpath::app
