// A panel's setting boxes and ticks kept from one run to the next in a local settings file:
// each panel names its own controls, so the window holds no list of them.
#pragma once

#include <QString>
#include <array>
#include <vector>

class QSettings;
class QWidget;

namespace xuan5::ui {

// Gives each control the value `settings` holds for it under `group`/<objectName> (a control
// the file does not know keeps its default), as if typed or ticked, so its change handler runs;
// then writes each control back whenever it changes. Text boxes (one- and multi-line) keep
// their text, check boxes and option buttons their tick. `settings` must outlive the controls'
// changes, which is why the window owns it.
void KeepControls(QSettings& settings, const QString& group, const std::vector<QWidget*>& controls);

// Helper for panels that hold controls in arrays.
template <typename Control, std::size_t N>
void AppendControls(std::vector<QWidget*>& controls, const std::array<Control*, N>& array) {
    controls.insert(controls.end(), array.begin(), array.end());
}

}  // namespace xuan5::ui
