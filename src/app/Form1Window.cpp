#include "app/Form1Window.h"

#include "app/Form1.h"

#include <QCheckBox>
#include <QApplication>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <xcb/xcb.h>

#include "app/resources/clickpath.xpm"

namespace clickpath::app {

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
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
        QStringLiteral("VL PGothic"), QStringLiteral("VL Gothic")});
    font.setPointSizeF(11.25);
    font.setWeight(QFont::Normal);
    return font;
}

QColor fromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
        static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace

Form1Window::Form1Window(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
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
    const auto makeCommand = [this](CommandId id, const char* name, const QString& caption, Place place) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(pixels(place));
        commands_[static_cast<int>(id)] = button;
    };
    const auto makeBox = [this](TextBoxId id, const char* name, Place place) {
        auto* box = new QLineEdit(QStringLiteral("180"), this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(pixels(place));
        textBoxes_[static_cast<int>(id)] = box;
    };
    const auto makeLabel = [this](const char* name, const QString& caption, Place place) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(pixels(place));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };
    const auto keepLabel = [this](LabelId id, QLabel* label) { labels_[static_cast<int>(id)] = label; };

    makeCommand(CommandId::Command1, "Command1", QStringLiteral("Rec"), {90, 60, 735, 345});
    makeCommand(CommandId::Command3, "Command3", QStringLiteral("Auto"), {840, 60, 735, 345});
    makeCommand(CommandId::Command2, "Command2", QStringLiteral("Save"), {1920, 60, 735, 345});
    makeCommand(CommandId::Command4, "Command4", QStringLiteral("Load"), {2670, 60, 735, 345});

    check1_ = new QCheckBox(QStringLiteral("LOOP"), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setGeometry(pixels({120, 510, 735, 180}));
    check1_->setChecked(true);
    makeLabel("Label13", QStringLiteral("HM"), {990, 510, 315, 180});
    makeBox(TextBoxId::Text4, "Text4", {1440, 450, 435, 270});
    makeLabel("Label12", QStringLiteral("VM"), {1950, 510, 315, 180});
    makeBox(TextBoxId::Text3, "Text3", {2370, 450, 405, 270});
    keepLabel(LabelId::Label6, makeLabel("Label6", QString(), {2880, 450, 525, 225}));
    keepLabel(LabelId::Label3, makeLabel("Label3", QString(), {3510, 420, 525, 255}));
    makeLabel("Label7", QStringLiteral("回"), {4050, 450, 225, 255});

    keepLabel(LabelId::Label14, makeLabel("Label14", QStringLiteral("1st."), {120, 780, 345, 225}));
    makeBox(TextBoxId::Text5, "Text5", {420, 750, 435, 270});
    keepLabel(LabelId::Label8, makeLabel("Label8", QStringLiteral("Sleep"), {990, 780, 435, 225}));
    makeBox(TextBoxId::Text1, "Text1", {1440, 750, 435, 270});
    keepLabel(LabelId::Label11, makeLabel("Label11", QStringLiteral("Click"), {1950, 780, 375, 225}));
    makeBox(TextBoxId::Text2, "Text2", {2370, 750, 405, 270});
    makeCommand(CommandId::Command5, "Command5", QStringLiteral("SET"), {2880, 750, 555, 270});
    keepLabel(LabelId::Label9, makeLabel("Label9", QString(), {3510, 750, 525, 255}));
    makeLabel("Label10", QStringLiteral("秒"), {4050, 780, 225, 255});

    label(LabelId::Label3)->setFont(countFont());
    label(LabelId::Label9)->setFont(countFont());

    for (auto& timer : timers_)
        timer = std::make_unique<platform::qt::GridTimer>(10);
}

bool Form1Window::focusedBoxRefuses(QWidget* target)
{
    static constexpr bool (Form1::*validators[])() = {&Form1::Text1_Validate, &Form1::Text2_Validate,
        &Form1::Text3_Validate, &Form1::Text4_Validate, &Form1::Text5_Validate};
    QWidget* focused = QApplication::focusWidget();
    if (!form_ || focused == target)
        return false;
    for (std::size_t i = 0; i < textBoxes_.size(); ++i) {
        if (textBoxes_[i] == focused)
            return (form_->*validators[i])();
    }
    return false;
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return focusedBoxRefuses(nullptr);
        return false;
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

void Form1Window::setTabOrder()
{
    const QList<QWidget*> order{command(CommandId::Command1), command(CommandId::Command3),
        command(CommandId::Command2), command(CommandId::Command4), check1_, textBox(TextBoxId::Text4),
        textBox(TextBoxId::Text3), textBox(TextBoxId::Text5), textBox(TextBoxId::Text1),
        textBox(TextBoxId::Text2), command(CommandId::Command5)};
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
    connect(command(CommandId::Command1), &QPushButton::clicked, this, [&form] { form.Command1_Click(); });
    connect(command(CommandId::Command2), &QPushButton::clicked, this, [&form] { form.Command2_Click(); });
    connect(command(CommandId::Command3), &QPushButton::clicked, this, [&form] { form.Command3_Click(); });
    connect(command(CommandId::Command4), &QPushButton::clicked, this, [&form] { form.Command4_Click(); });
    connect(command(CommandId::Command5), &QPushButton::clicked, this, [&form] { form.Command5_Click(); });
    timer(TimerId::Timer1)->onTimeout([&form] { form.Timer1_Timer(); });
    timer(TimerId::Timer2)->onTimeout([&form] { form.Timer2_Timer(); });
}

void Form1Window::setLabelCaption(LabelId id, const QString& caption)
{
    label(id)->setText(caption);
    changedLabels_.insert(label(id));
}

void Form1Window::setLabelColour(LabelId id, std::uint32_t bgr)
{
    QPalette palette = label(id)->palette();
    palette.setColor(QPalette::WindowText, fromBgr(bgr));
    label(id)->setPalette(palette);
}

QString Form1Window::text(TextBoxId id) const
{
    return textBox(id)->text();
}

void Form1Window::setText(TextBoxId id, const QString& text)
{
    textBox(id)->setText(text);
}

int Form1Window::checkValue() const
{
    return check1_->isChecked() ? 1 : 0;
}

void Form1Window::setTimerEnabled(TimerId id, bool enabled)
{
    // Enabling a running timer leaves its rhythm alone.
    if (enabled && !timer(id)->isActive())
        timer(id)->start();
    else if (!enabled)
        timer(id)->stop();
}

void Form1Window::setCommandEnabled(CommandId id, bool enabled)
{
    command(id)->setEnabled(enabled);
}

void Form1Window::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void Form1Window::repaintNow()
{
    // Paint now what the handler changed, while it still holds the thread:
    // the labels it set, and the caption. A full repaint of every control at
    // each 10 ms tick would cost more than the rest of the tick together.
    for (QLabel* changed : std::as_const(changedLabels_))
        changed->repaint();
    changedLabels_.clear();
    // The caption is drawn by the window manager, which sees the new title
    // only once Qt's connection is flushed; Qt would do that when idle.
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        xcb_flush(x11->connection());
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
