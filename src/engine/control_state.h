#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/controls.h"
#include "engine/vob_file_list.h"

namespace vantrel::engine {

// What every window keeps of its controls alike, whatever shows them: the
// bars' ranges and values (single precision, as the engine counts them; a
// window shows them as it can), the hidden "*.vob" file list, and the values
// the alert check box and the status panels take. It carries out the part of
// Controls that keeps or checks this state; the Qt and Win32 windows, the
// terminal and the tests' headless window build on it and add what their
// toolkit does.
class ControlState : public Controls {
  public:
    explicit ControlState(platform::FileSystem& files) : m_fileList(files) {}

    void setMin(Bar bar, float min) override { barValues(bar).min = min; }
    void setMax(Bar bar, float max) override { barValues(bar).max = max; }
    void setValue(Bar bar, float value) override { barValues(bar).value = value; }
    float value(Bar bar) override { return barValues(bar).value; }
    void setFileListPath(const std::string& folder) override { m_fileList.setPath(folder); }
    std::int16_t fileListCount() override { return m_fileList.count(); }
    std::string fileListItem(int index) override { return m_fileList.item(index); }
    void listFilesThrough(platform::FileSystem& files) override { m_fileList.listThrough(files); }

  protected:
    struct BarValues {
        float min = 0, max = 100, value = 0;
    };
    BarValues& barValues(Bar bar) { return m_bars[std::size_t(bar)]; }
    const BarValues& barValues(Bar bar) const { return m_bars[std::size_t(bar)]; }
    const std::vector<std::string>& fileListNames() const { return m_fileList.names(); }

    // `value`, when the alert check box takes it (0, 1 or 2); a failure otherwise.
    static int checkedAlertValue(int value);
    // Where status panel `panel` (1, 2 or 3) stands among the three; a failure
    // for any other number.
    static std::size_t panelIndex(int panel);

  private:
    std::array<BarValues, 2> m_bars{};
    VobFileList m_fileList;
};

}  // namespace vantrel::engine
