// The window's controls: kinds, captions, places and sizes, tab order, what a
// screen reader announces and the tooltips.

#include <QCheckBox>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/failure.h"
#include "ui/control_values.h"
#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/twips.h"

namespace vantrel::ui {
namespace {

// Between two status panels, in pixels.
constexpr int kPanelGap = 2;

QString qt(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The status bar's own font (the platform's, where it has one), made smaller
// when a line of it is taller than `height`. Text is laid out with the font's
// fractional metrics, so a line takes their sum rounded up.
QFont fittedFont(QFont font, int height) {
    while (std::ceil(QFontMetricsF(font).height()) > height) {
        if (font.pixelSize() > 1) {
            font.setPixelSize(font.pixelSize() - 1);
        } else if (font.pointSizeF() > 1) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
        } else {
            break;
        }
    }
    return font;
}

QProgressBar* progressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setOrientation(Qt::Horizontal);
    bar->setTextVisible(false);
    bar->setRange(0, kBarSteps);
    bar->setValue(0);
    return bar;
}

// What a screen reader announces beyond the control's kind and caption, and
// the tooltip sighted users get. Qt announces the tooltip as the description
// of a control that has none of its own.
void announce(QWidget* widget, ControlId id) {
    const ControlAnnouncement announcement = announcementOf(id);
    if (!announcement.name.empty()) widget->setAccessibleName(qt(announcement.name));
    if (!announcement.description.empty())
        widget->setAccessibleDescription(qt(announcement.description));
    widget->setToolTip(qt(toolTip(announcement)));
}

// A control of the table other than a label or the status bar, in its place.
QWidget* makeControl(QWidget* parent, const ControlLayout& control) {
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::TextBox:
            widget = new QLineEdit(parent);
            break;
        case ControlKind::CommandButton:
            widget = new QPushButton(qt(control.caption), parent);
            break;
        case ControlKind::CheckBox:
            widget = new QCheckBox(qt(control.caption), parent);
            break;
        case ControlKind::FileList:
            widget = new QListWidget(parent);
            break;
        case ControlKind::ProgressBar:
            widget = progressBar(parent);
            break;
        default:
            throw platform::Failure("not a control of its own kind: " + std::string(control.name));
    }
    widget->setObjectName(qt(control.name));
    widget->setGeometry(twipsRect(control.place));
    announce(widget, control.id);
    if (!control.visible) widget->hide();
    return widget;
}

// A label sized to its caption, growing to the left if the caption needs more
// room than its place, so that it never reaches into the box beside it.
QLabel* label(QWidget* parent, const ControlLayout& control, QWidget* buddy) {
    auto* widget = new QLabel(qt(control.caption), parent);
    widget->setObjectName(qt(control.name));
    const QRect geometry = twipsRect(control.place);
    widget->setGeometry(geometry);
    widget->setBuddy(buddy);
    widget->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int needed = widget->sizeHint().width();
    if (needed > geometry.width()) {
        const int right = std::min(geometry.right(), buddy->geometry().left() - 3);
        widget->setGeometry(right - needed + 1, geometry.top(), needed, geometry.height());
    }
    return widget;
}

}  // namespace

void MainWindow::buildControls() {
    setObjectName("frmMain");
    setWindowTitle(" Vantrel Extractor");
    setWindowIcon(programIcon());  // its message boxes take it from here
    setFixedSize(toPixels(kClientWidthTwips), toPixels(kClientHeightTwips));

    // In tab order; the labels afterwards, each against its box.
    QWidget* previous = nullptr;
    for (const ControlLayout& layout : kControls) {
        if (layout.kind == ControlKind::Label || layout.kind == ControlKind::StatusBar) continue;
        QWidget* widget = makeControl(this, layout);
        m_controls[std::size_t(layout.id)] = widget;
        if (!takesFocus(layout.kind)) continue;
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }
    for (const ControlLayout& layout : kControls)
        if (layout.kind == ControlKind::Label)
            m_controls[std::size_t(layout.id)] = label(this, layout, control(*layout.box));
    control<QPushButton>(kDefaultButton)->setDefault(true);
    for (const ControlId watched : {ControlId::txtVobDir, ControlId::txtDest, kDefaultButton})
        control(watched)->installEventFilter(this);
    // Folders dropped on the boxes go to the window (main_window_drops.cpp).
    setAcceptDrops(true);
    for (const ControlId folderBox : {ControlId::txtVobDir, ControlId::txtDest})
        control(folderBox)->setAcceptDrops(false);
    buildStatusBar();

    for (const ControlLayout& layout : kControls)
        if (!takesFocus(layout.kind)) control(layout.id)->setFocusPolicy(Qt::NoFocus);
}

// The panels stand in the bar's whole height, side by side with a small gap,
// and not in QStatusBar's own layout: its margins left a line of text too
// little room, and descenders and underscores were cut off.
void MainWindow::buildStatusBar() {
    const ControlLayout& layout = layoutOf(ControlId::Stat);
    auto* status = new QStatusBar(this);
    m_controls[std::size_t(layout.id)] = status;
    status->setObjectName(qt(layout.name));
    announce(status, layout.id);
    status->setSizeGripEnabled(false);
    status->setGeometry(twipsRect(layout.place));
    int left = 0;
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new QLabel(status);
        panel->setObjectName(QString("Stat_Panel%1").arg(i + 1));
        panel->setAccessibleName(qt(panelAccessibleName(int(i) + 1, "")));
        panel->setToolTip(qt(kPanelNames[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const int width = i + 1 < m_panels.size()
                              ? toPixels(kFixedPanelTwips)
                              : std::max(status->width() - left, toPixels(kLastPanelMinimumTwips));
        panel->setGeometry(left, 0, width, status->height());
        panel->setFont(fittedFont(status->font(), panel->contentsRect().height()));
        left += width + kPanelGap;
        m_panels[i] = panel;
    }
}

// A new value is painted whole. QProgressBar repaints only when it has moved
// far enough from the value it last painted, and the per-file bar's repaints
// also paint the one row of the overall bar under it (the two overlap), which
// counts as painting its value: a bar that moves in small steps, as the
// overall bar of a folder of many large VOBs does, would never be painted again.
void MainWindow::showBarValues() {
    for (const engine::Bar bar : {engine::Bar::ProgFile, engine::Bar::Prog}) {
        const BarValues& values = barValues(bar);
        const int steps = barSteps(values.min, values.max, values.value);
        QProgressBar* widget = barWidget(bar);
        if (widget->value() == steps) continue;
        widget->setValue(steps);
        widget->update();
    }
}

}  // namespace vantrel::ui
