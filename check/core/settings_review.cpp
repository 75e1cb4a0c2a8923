#include "check/core/settings_review.h"

#include "report/report_job.h"
#include "report/run_error.h"
#include "report/stored_settings.h"
#include "report/view_mode.h"
#include "report/wiped_text.h"

namespace brevanto::check {

std::vector<SettingFacts> ReviewSettings(const SettingsStore& store, const WrongTypeOf& wrongType,
                                         const std::wstring& programDirectory) {
    std::vector<SettingFacts> facts;
    for (const JobSetting& setting : kJobSettings) {
        SettingFacts fact;
        fact.section = setting.section;
        fact.key = setting.key;
        fact.secret = setting.secret;
        auto stored = store.TryRead(kSettingsApp, setting.section, setting.key);
        fact.stored = stored.has_value();
        // Only whether a secret is stored is ours to know.
        if (stored && setting.secret)
            Wipe(*stored);
        fact.wrongType = wrongType(setting.section, setting.key);
        if (!fact.secret)
            fact.value = GetSetting(store, setting, programDirectory);
        facts.push_back(std::move(fact));
    }
    return facts;
}

JobPath ReviewJobPath(const SettingsStore& store) {
    JobPath path;
    const JobSetting* asked = &kViewMode;
    try {
        // In the job's order: the view mode, then, only when not view only, the two switches.
        path.viewOnly = IsViewOnly(store);
        if (!path.viewOnly) {
            asked = &kPrintSwitch;
            path.print = PrintSwitchIsOn(store);
            asked = &kExportSwitch;
            path.exportResults = ExportSwitchIsOn(store);
        }
    } catch (const RunError& error) {
        path.stopsInPart7 = true;
        path.stopCaption = FailureCaption(error.Description(), 7);
        path.stopKey = std::wstring(asked->section) + L"\\" + std::wstring(asked->key);
        path.stopValue = GetSetting(store, *asked);
    }
    return path;
}

std::wstring ExportFolder(const SettingsStore& store, const std::wstring& programDirectory) {
    return GetSetting(store, kExportFolder, programDirectory);
}

} // namespace brevanto::check
