#include "support/headless_window.h"

#include "platform/failure.h"

#include "platform/failure.h"

namespace vantrel::testing {
namespace {

const char* nameOf(engine::TextBox box) {
    return box == engine::TextBox::txtVobDir ? "txtVobDir" : "txtDest";
}
const char* nameOf(engine::Input input) {
    switch (input) {
        case engine::Input::txtVobDir:
            return "txtVobDir";
        case engine::Input::txtDest:
            return "txtDest";
        case engine::Input::cmdGo:
            return "cmdGo";
    }
    return "?";
}
const char* nameOf(engine::Bar bar) { return bar == engine::Bar::Prog ? "Prog" : "ProgFile"; }

std::string number(float value) { return std::to_string(static_cast<long long>(value)); }

}  // namespace

void HeadlessWindow::record(const std::string& call) {
    if (recordCalls) calls.push_back(call);
}

void HeadlessWindow::checkRange(engine::Bar which) {
    const BarValues& bar = barValues(which);
    if (bar.max < bar.min || bar.value < bar.min || bar.value > bar.max) ++barRangeViolations;
}

HeadlessWindow::BarState HeadlessWindow::bar(engine::Bar which) const {
    const BarValues& values = barValues(which);
    return {values.min, values.max, values.value, barsVisible[std::size_t(which)]};
}

std::string HeadlessWindow::text(engine::TextBox box) { return texts[box]; }

void HeadlessWindow::setText(engine::TextBox box, const std::string& text) {
    record(std::string("setText ") + nameOf(box) + " " + text);
    texts[box] = text;
}

void HeadlessWindow::setSelStart(engine::TextBox box, int start) {
    record(std::string("setSelStart ") + nameOf(box) + " " + std::to_string(start));
    selections[box] = {start, 0};
}

void HeadlessWindow::setSelLength(engine::TextBox box, int length) {
    record(std::string("setSelLength ") + nameOf(box) + " " + std::to_string(length));
    selections[box].length = length;
}

void HeadlessWindow::setFocus(engine::TextBox box) {
    record(std::string("setFocus ") + nameOf(box));
    focusHistory.push_back(box);
}

void HeadlessWindow::setEnabled(engine::Input input, bool on) {
    record(std::string("setEnabled ") + nameOf(input) + (on ? " 1" : " 0"));
    enabled[input] = on;
}

void HeadlessWindow::setMin(engine::Bar which, float min) {
    record(std::string("setMin ") + nameOf(which) + " " + number(min));
    ControlState::setMin(which, min);
}

void HeadlessWindow::setMax(engine::Bar which, float max) {
    record(std::string("setMax ") + nameOf(which) + " " + number(max));
    ControlState::setMax(which, max);
    checkRange(which);
}

void HeadlessWindow::setValue(engine::Bar which, float value) {
    if (recordCalls && (which == engine::Bar::Prog || recordProgress))
        calls.push_back(std::string("setValue ") + nameOf(which) + " " + number(value));
    ControlState::setValue(which, value);
    checkRange(which);
}

void HeadlessWindow::setVisible(engine::Bar which, bool visible) {
    record(std::string("setVisible ") + nameOf(which) + (visible ? " 1" : " 0"));
    barsVisible[std::size_t(which)] = visible;
}

void HeadlessWindow::setPanelText(int panel, const std::string& text) {
    const std::size_t index = panelIndex(panel);
    record("setPanelText " + std::to_string(panel) + " " + text);
    panels[index] = text;
}

void HeadlessWindow::setMousePointer(engine::MousePointer value) {
    record("setMousePointer " + std::to_string(int(value)));
    pointer = value;
}

int HeadlessWindow::alertValue() { return alert; }

void HeadlessWindow::setAlertValue(int value) {
    record("setAlertValue " + std::to_string(value));
    alert = checkedAlertValue(value);
}

void HeadlessWindow::setFileListPath(const std::string& folder) {
    record("setFileListPath " + folder);
    ControlState::setFileListPath(folder);
}

void HeadlessWindow::messageBox(const std::string& prompt, engine::MessageIcon icon,
                                const std::string& title) {
    record("messageBox " + prompt + " " + std::to_string(int(icon)) + " " + title);
    messages.push_back({prompt, icon, title});
    if (onMessage) onMessage(messages.back());
}

void HeadlessWindow::beep() {
    record("beep");
    ++beeps;
}

void HeadlessWindow::pumpEvents() {
    if (recordCalls && recordProgress) calls.push_back("pumpEvents");
    ++pumps;
    if (onPump) onPump(pumps);
}

void HeadlessWindow::pumpEventsWhileWaiting() {
    ++waitingPumps;
    if (onWaitingPump) onWaitingPump(waitingPumps);
}

void HeadlessWindow::closeWindow() {
    record("closeWindow");
    ++closes;
}

float HeadlessWindow::windowWidth() {
    if (refuseWindowSize) throw platform::Failure("the window is not there");
    return width;
}

float HeadlessWindow::windowHeight() {
    if (refuseWindowSize) throw platform::Failure("the window is not there");
    return height;
}

void HeadlessWindow::setWindowWidth(float value) {
    record("setWindowWidth " + number(value));
    width = value;
}

void HeadlessWindow::setWindowHeight(float value) {
    record("setWindowHeight " + number(value));
    height = value;
}

}  // namespace vantrel::testing
