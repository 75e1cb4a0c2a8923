#include "check/settings_review.h"

#include "report/report_job.h"
#include "report/run_error.h"
#include "report/stored_settings.h"
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
            fact.value = GetSetting(store, setting.section, setting.key,
                                    DefaultFor(setting, programDirectory));
        facts.push_back(std::move(fact));
    }
    return facts;
}

JobPath ReviewJobPath(const SettingsStore& store) {
    JobPath path;
    std::wstring_view key = L"ViewMode";
    try {
        // In the job's order: the view mode, then, only when not view only, the two switches.
        path.viewOnly = SettingEquals(store, L"Settings", key, L"1", 0);
        if (!path.viewOnly) {
            key = L"chkPrintRPT";
            path.print = SettingEquals(store, L"Settings", key, L"1", 1);
            key = L"chkCRW85Export";
            path.exportResults = SettingEquals(store, L"Settings", key, L"1", 1);
        }
    } catch (const RunError& error) {
        path.stopsInPart7 = true;
        path.stopCaption = FailureCaption(error.Description(), 7);
        path.stopKey = L"Settings\\" + std::wstring(key);
        path.stopValue = GetSetting(store, L"Settings", key, L"1");
    }
    return path;
}

std::wstring ExportFolder(const SettingsStore& store, const std::wstring& programDirectory) {
    return GetSetting(store, L"SaveDirectories", L"Convert", DefaultExportFolder(programDirectory));
}

} // namespace brevanto::check
