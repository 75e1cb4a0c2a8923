#include "report/view_mode.h"

#include "report/stored_settings.h"

namespace brevanto {

bool IsViewOnly(const SettingsStore& store) {
    return SettingEquals(store, kViewMode, kViewOnlyMode);
}

bool PrintSwitchIsOn(const SettingsStore& store) {
    return SettingEquals(store, kPrintSwitch, kSwitchOn);
}

bool ExportSwitchIsOn(const SettingsStore& store) {
    return SettingEquals(store, kExportSwitch, kSwitchOn);
}

} // namespace brevanto
