#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "check/core/workstation_facts.h"
#include "report/settings_store.h"

namespace brevanto::check {

// The registry type name of a value stored as other than text ("REG_DWORD"), or empty.
using WrongTypeOf = std::function<std::wstring(std::wstring_view section, std::wstring_view key)>;

// Every setting the job reads, as it would read it now. Secrets are marked and keep no value.
std::vector<SettingFacts> ReviewSettings(const SettingsStore& store, const WrongTypeOf& wrongType,
                                         const std::wstring& programDirectory);

// The branch part 7 would take, or the conversion error it would stop with, by the job's own
// rules.
JobPath ReviewJobPath(const SettingsStore& store);

// The export folder the job would hand the viewer.
std::wstring ExportFolder(const SettingsStore& store, const std::wstring& programDirectory);

} // namespace brevanto::check
