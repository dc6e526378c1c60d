#pragma once

#include "app/WindowControls.h"
#include "platform/qt/GridTimer.h"

#include <QSet>
#include <QWidget>

#include <functional>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace clickpath::app {

class Form1;

// The window itself: its controls at their places under their object names
// ("Command1", "Text4", "Label9"...; Form1 maps them), with their events
// handed to the handlers of Form1.
class Form1Window final : public QWidget, public WindowControls {
public:
    // `flush` sends what Qt queued for the display at once (the desktop's
    // flushWindow), so that a painted change reaches the screen in its tick.
    explicit Form1Window(
        QString exeBaseName, std::function<void()> flush = [] {}, QWidget* parent = nullptr);

    // Wires every event of the window to its handler.
    void connectHandlers(Form1& form);

    QString boxText(core::SettingBox box) const override;
    void setBoxText(core::SettingBox box, const QString& text) override;
    void setLabelText(Label label, const QString& text) override;
    void setLabelColour(Label label, TextColour colour) override;
    bool loopChecked() const override;
    platform::Ticker& timer(Tick tick) override { return *ticks_[static_cast<std::size_t>(tick)]; }
    void setCommandButtonsEnabled(bool enabled) override;
    void showPointerPosition(std::int32_t x, std::int32_t y) override;
    void showStatus(const QString& text) override;
    void repaintNow() override;

    QLineEdit* box(core::SettingBox box) const { return boxes_[static_cast<std::size_t>(box)]; }
    QLabel* label(Label label) const { return labels_[static_cast<std::size_t>(label)]; }
    QCheckBox* loopBox() const { return loop_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Runs a box's validation before the focus leaves it, by Tab or by a
    // click on another control, and swallows that event when it refuses.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    // True when the focused box refuses to let the focus go.
    bool focusedBoxRefuses(QWidget* target);

    QString exeBaseName_;
    std::array<QPushButton*, 5> commands_{};
    std::array<QLineEdit*, 5> boxes_{};
    std::array<QLabel*, 6> labels_{};
    std::array<std::unique_ptr<platform::qt::GridTimer>, 2> ticks_;
    QCheckBox* loop_ = nullptr;
    QSet<QLabel*> changedLabels_; // set since the last repaintNow
    std::function<void()> flush_;
    Form1* form_ = nullptr;
};

} // namespace clickpath::app
