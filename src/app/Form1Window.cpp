#include "app/Form1Window.h"

#include "app/Form1.h"
#include "core/Tick.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "app/resources/clickpath.xpm"

namespace clickpath::app {

using core::SettingBox;

namespace {

// Places are given in twips; 15 twips make a pixel at 96 dpi, and Qt scales
// the whole window on screens with more dots per inch.
constexpr int kTwipsPerPixel = 15;

struct Place {
    int left, top, width, height;
};

QRect pixels(Place twips)
{
    return QRect(twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
        twips.height / kTwipsPerPixel);
}

QFont countFont()
{
    // Asked for by name; fontconfig falls back to an installed Japanese font.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("VL PGothic"),
        QStringLiteral("VL Gothic")});
    font.setPointSizeF(11.25);
    font.setWeight(QFont::Normal);
    return font;
}

// Shrinks the font until the label's text fits its width. The places are
// fixed, and "Sleep" in some fonts, or a countdown of five digits, would run
// into the control beside it.
void fitText(QLabel* label, QFont font)
{
    constexpr qreal kStep = 0.25, kSmallest = 5;
    while (font.pointSizeF() > kSmallest && QFontMetricsF(font).horizontalAdvance(label->text()) > label->width())
        font.setPointSizeF(font.pointSizeF() - kStep);
    label->setFont(font);
}

template <typename Enum>
constexpr std::size_t at(Enum value)
{
    return static_cast<std::size_t>(value);
}

} // namespace

Form1Window::Form1Window(QString exeBaseName, std::function<void()> flush, QWidget* parent)
    : QWidget(parent)
    , exeBaseName_(std::move(exeBaseName))
    , flush_(std::move(flush))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(exeBaseName_);
    setFixedSize(pixels({0, 0, 4320, 1065}).size());
    setWindowIcon(QIcon(QPixmap(clickpath_xpm)));
    // The places were drawn for an 8-point dialog font; larger desktop fonts
    // would clip "LOOP", "Sleep" and "Click".
    QFont windowFont = font();
    windowFont.setPointSizeF(8);
    setFont(windowFont);
    buildControls();
    setTabOrder();
}

void Form1Window::buildControls()
{
    std::size_t commandCount = 0;
    const auto makeCommand = [&](const char* name, const QString& caption, Place place) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(pixels(place));
        commands_[commandCount++] = button;
    };
    const auto makeBox = [this](SettingBox box, Place place) {
        auto* edit = new QLineEdit(QStringLiteral("180"), this);
        edit->setObjectName(QLatin1String(kBoxControls[core::indexOf(box)].objectName));
        edit->setGeometry(pixels(place));
        boxes_[at(box)] = edit;
    };
    const auto makeLabel = [this](const char* name, const QString& caption, Place place) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(pixels(place));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };

    makeCommand("Command1", QStringLiteral("Rec"), {90, 60, 735, 345});
    makeCommand("Command3", QStringLiteral("Auto"), {840, 60, 735, 345});
    makeCommand("Command2", QStringLiteral("Save"), {1920, 60, 735, 345});
    makeCommand("Command4", QStringLiteral("Load"), {2670, 60, 735, 345});

    loop_ = new QCheckBox(QStringLiteral("LOOP"), this);
    loop_->setObjectName(QStringLiteral("Check1"));
    loop_->setGeometry(pixels({120, 510, 735, 180}));
    loop_->setChecked(true);
    makeLabel("Label13", QStringLiteral("HM"), {990, 510, 315, 180});
    makeBox(SettingBox::HorizontalMargin, {1440, 450, 435, 270});
    makeLabel("Label12", QStringLiteral("VM"), {1950, 510, 315, 180});
    makeBox(SettingBox::VerticalMargin, {2370, 450, 405, 270});
    labels_[at(Label::ClickShown)] = makeLabel("Label6", QString(), {2880, 450, 525, 225});
    labels_[at(Label::PassCount)] = makeLabel("Label3", QString(), {3510, 420, 525, 255});
    makeLabel("Label7", QStringLiteral("回"), {4050, 450, 225, 255});

    labels_[at(Label::FirstPassCaption)] = makeLabel("Label14", QStringLiteral("1st."), {120, 780, 345, 225});
    makeBox(SettingBox::FirstPassWait, {420, 750, 435, 270});
    labels_[at(Label::SleepCaption)] = makeLabel("Label8", QStringLiteral("Sleep"), {990, 780, 435, 225});
    makeBox(SettingBox::SleepBound, {1440, 750, 435, 270});
    labels_[at(Label::ClickWaitCaption)] = makeLabel("Label11", QStringLiteral("Click"), {1950, 780, 375, 225});
    makeBox(SettingBox::ClickWaitBound, {2370, 750, 405, 270});
    makeCommand("Command5", QStringLiteral("SET"), {2880, 750, 555, 270});
    labels_[at(Label::Countdown)] = makeLabel("Label9", QString(), {3510, 750, 525, 255});
    makeLabel("Label10", QStringLiteral("秒"), {4050, 780, 225, 255});

    label(Label::PassCount)->setFont(countFont());
    label(Label::Countdown)->setFont(countFont());
    for (QLabel* caption : findChildren<QLabel*>())
        fitText(caption, caption->font());

    for (auto& timer : ticks_)
        timer = std::make_unique<platform::qt::GridTimer>(core::kTickInterval);
}

void Form1Window::setTabOrder()
{
    // "Rec", "Auto", "Save", "Load", "LOOP", HM, VM, 1st., Sleep, Click, "SET".
    const QList<QWidget*> order{commands_[0], commands_[1], commands_[2], commands_[3], loop_,
        box(SettingBox::HorizontalMargin), box(SettingBox::VerticalMargin), box(SettingBox::FirstPassWait),
        box(SettingBox::SleepBound), box(SettingBox::ClickWaitBound), commands_[4]};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    // Every control that can take the focus takes part in validation.
    for (QWidget* control : order) {
        control->setFocusPolicy(Qt::TabFocus);
        control->installEventFilter(this);
    }
}

void Form1Window::connectHandlers(Form1& form)
{
    form_ = &form;
    const std::array handlers{&Form1::Command1_Click, &Form1::Command3_Click, &Form1::Command2_Click,
        &Form1::Command4_Click, &Form1::Command5_Click};
    for (std::size_t i = 0; i < handlers.size(); ++i)
        connect(commands_[i], &QPushButton::clicked, this, [&form, handler = handlers[i]] { (form.*handler)(); });
    timer(Tick::Recording).onTick([&form] { form.Timer1_Timer(); });
    timer(Tick::Playback).onTick([&form] { form.Timer2_Timer(); });
    connect(box(SettingBox::FirstPassWait), &QLineEdit::textChanged, this, [&form] { form.Text5_Change(); });
}

bool Form1Window::focusedBoxRefuses(QWidget* target)
{
    QWidget* focused = QApplication::focusWidget();
    if (!form_ || focused == target)
        return false;
    for (const BoxControl& control : kBoxControls) {
        if (box(control.box) == focused)
            return (form_->*control.validate)();
    }
    return false;
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Only a Tab that moves the focus: Qt leaves Ctrl+Tab and Alt+Tab to others.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool movesFocus = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        return movesFocus && focusedBoxRefuses(nullptr);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target || !target->isEnabled())
            return false;
        if (focusedBoxRefuses(target))
            return true;
        // The controls take the focus by click only here, after validation:
        // Qt would move it before any filter sees the press.
        target->setFocus(Qt::MouseFocusReason);
        return false;
    }
    default:
        return false;
    }
}

QString Form1Window::boxText(SettingBox id) const
{
    return box(id)->text();
}

void Form1Window::setBoxText(SettingBox id, const QString& text)
{
    box(id)->setText(text);
}

void Form1Window::setLabelText(Label id, const QString& text)
{
    label(id)->setText(text);
    if (id == Label::PassCount || id == Label::Countdown)
        fitText(label(id), countFont());
    changedLabels_.insert(label(id));
}

void Form1Window::setLabelColour(Label id, TextColour colour)
{
    // Back from its highlight a label takes the theme's text colour again,
    // which is black only on a light theme: an empty palette inherits it.
    QPalette palette;
    if (colour == TextColour::Highlight) {
        palette = label(id)->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
    }
    label(id)->setPalette(palette);
}

bool Form1Window::loopChecked() const
{
    return loop_->isChecked();
}

void Form1Window::setCommandButtonsEnabled(bool enabled)
{
    for (QPushButton* command : commands_)
        command->setEnabled(enabled);
}

void Form1Window::showPointerPosition(std::int32_t x, std::int32_t y)
{
    showStatus(QStringLiteral("X:%1 Y:%2").arg(x).arg(y));
}

void Form1Window::showStatus(const QString& text)
{
    setWindowTitle(exeBaseName_ + ' ' + text);
    repaintNow();
}

void Form1Window::repaintNow()
{
    // Paint now what the handler changed, while it still holds the thread:
    // the labels it set, and the caption. A full repaint of every control at
    // each 10 ms tick would cost more than the rest of the tick together.
    for (QLabel* changed : std::as_const(changedLabels_))
        changed->repaint();
    changedLabels_.clear();
    flush_();
}

void Form1Window::closeEvent(QCloseEvent* event)
{
    // A close is never refused, whatever runs.
    if (form_) {
        form_->Form_QueryUnload();
        form_->Form_Unload();
    }
    event->accept();
}

} // namespace clickpath::app
