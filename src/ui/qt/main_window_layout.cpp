// The window's controls: kinds, captions, places and sizes, tab order.

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

#include "ui/qt/main_window.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/twips.h"

namespace vantrel::ui {
namespace {

// The widget ranges progress bars show; the engine's own values are kept apart.
constexpr int kBarSteps = 10000;

// Panels 1 and 2: 940 twips each; panel 3 takes the rest, 1440 at least.
constexpr int kFixedPanelTwips = 940;
constexpr int kLastPanelMinimumTwips = 1440;

// Between two status panels, in pixels.
constexpr int kPanelGap = 2;

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

template <class Widget>
Widget* place(QWidget* parent, const char* name, QRect geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

// A label sized to its caption, growing to the left if the caption needs more
// room than its place, so that it never reaches into the box beside it.
QLabel* label(QWidget* parent, const char* name, const char* caption, QRect geometry,
              QWidget* buddy) {
    auto* widget = place<QLabel>(parent, name, geometry);
    widget->setText(caption);
    widget->setBuddy(buddy);
    widget->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int needed = widget->sizeHint().width();
    if (needed > geometry.width()) {
        const int right = std::min(geometry.right(), buddy->geometry().left() - 3);
        widget->setGeometry(right - needed + 1, geometry.top(), needed, geometry.height());
    }
    return widget;
}

QProgressBar* progressBar(QWidget* parent, const char* name, QRect geometry) {
    auto* bar = place<QProgressBar>(parent, name, geometry);
    bar->setOrientation(Qt::Horizontal);
    bar->setTextVisible(false);
    bar->setRange(0, kBarSteps);
    bar->setValue(0);
    bar->hide();
    return bar;
}

}  // namespace

void MainWindow::buildControls() {
    setObjectName("frmMain");
    setWindowTitle(" Vantrel Extractor");
    setWindowIcon(programIcon());  // its message boxes take it from here
    setFixedSize(toPixels(kClientWidthTwips), toPixels(kClientHeightTwips));

    m_txtVobDir = place<QLineEdit>(this, "txtVobDir", twipsRect(1320, 240, 4815, 375));
    m_cmdDir[0] = place<QPushButton>(this, "cmdDir_0", twipsRect(6240, 240, 495, 375));
    m_txtDest = place<QLineEdit>(this, "txtDest", twipsRect(1320, 840, 4815, 375));
    m_cmdDir[1] = place<QPushButton>(this, "cmdDir_1", twipsRect(6240, 840, 495, 375));
    m_Label1[0] = label(this, "Label1_0", "&Source:", twipsRect(600, 360, 555, 195), m_txtVobDir);
    m_Label1[1] =
        label(this, "Label1_1", "&Destination:", twipsRect(360, 960, 840, 195), m_txtDest);
    for (QPushButton* browse : m_cmdDir) browse->setText("<<");
    for (QLineEdit* box : {m_txtVobDir, m_txtDest}) box->installEventFilter(this);

    m_chkAlert = place<QCheckBox>(this, "chkAlert", twipsRect(120, 1560, 1575, 255));
    m_chkAlert->setText("&Alert When Done");
    m_chkAlert->hide();
    m_cmdGo = place<QPushButton>(this, "cmdGo", twipsRect(2400, 1440, 1095, 495));
    m_cmdGo->setText("&Extract");
    m_cmdGo->setDefault(true);
    m_cmdExit = place<QPushButton>(this, "cmdExit", twipsRect(4200, 1440, 1095, 495));
    m_cmdExit->setText("E&xit");
    m_File = place<QListWidget>(this, "File", twipsRect(5640, 1680, 1335, 285));
    m_File->hide();

    m_ProgFile = progressBar(this, "ProgFile", twipsRect(120, 2040, 6855, 255));
    m_Prog = progressBar(this, "Prog", twipsRect(120, 2280, 6855, 255));
    buildStatusBar();

    for (QWidget* unfocusable :
         {static_cast<QWidget*>(m_Label1[0]), static_cast<QWidget*>(m_Label1[1]),
          static_cast<QWidget*>(m_ProgFile), static_cast<QWidget*>(m_Prog),
          static_cast<QWidget*>(m_Stat)})
        unfocusable->setFocusPolicy(Qt::NoFocus);
    setTabOrder(m_txtVobDir, m_cmdDir[0]);
    setTabOrder(m_cmdDir[0], m_txtDest);
    setTabOrder(m_txtDest, m_cmdDir[1]);
    setTabOrder(m_cmdDir[1], m_chkAlert);
    setTabOrder(m_chkAlert, m_cmdGo);
    setTabOrder(m_cmdGo, m_cmdExit);
    setTabOrder(m_cmdExit, m_File);
}

// The panels stand in the bar's whole height, side by side with a small gap,
// and not in QStatusBar's own layout: its margins left a line of text too
// little room, and descenders and underscores were cut off.
void MainWindow::buildStatusBar() {
    m_Stat = new QStatusBar(this);
    m_Stat->setObjectName("Stat");
    m_Stat->setSizeGripEnabled(false);
    m_Stat->setGeometry(0, toPixels(2550), toPixels(kClientWidthTwips), toPixels(255));
    int left = 0;
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new QLabel(m_Stat);
        panel->setObjectName(QString("Stat_Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const int width = i + 1 < m_panels.size()
                              ? toPixels(kFixedPanelTwips)
                              : std::max(m_Stat->width() - left, toPixels(kLastPanelMinimumTwips));
        panel->setGeometry(left, 0, width, m_Stat->height());
        panel->setFont(fittedFont(m_Stat->font(), panel->contentsRect().height()));
        left += width + kPanelGap;
        m_panels[i] = panel;
    }
}

void MainWindow::showBarValues() {
    for (const engine::Bar bar : {engine::Bar::ProgFile, engine::Bar::Prog}) {
        const BarState& values = state(bar);
        const double span = double(values.max) - double(values.min);
        const double share = span > 0 ? (double(values.value) - double(values.min)) / span : 0;
        const int steps = static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kBarSteps));
        QProgressBar* widget = barWidget(bar);
        if (widget->value() != steps) widget->setValue(steps);
    }
}

}  // namespace vantrel::ui
