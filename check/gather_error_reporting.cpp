#include "check/gather_error_reporting.h"

#include "platform/records/event_log.h"
#include "platform/records/local_dumps.h"
#include "platform/security/accounts.h"
#include "platform/security/folder_security.h"
#include "platform/security/trusted_accounts.h"
#include "platform/unattended/error_dialog_setting.h"

namespace brevanto::check {
namespace {

// Who besides this user, SYSTEM and administrators may read what is made in the dump folder.
void JudgeDumpFolder(ErrorReportingFacts& facts) {
    const DWORD attributes = GetFileAttributesW(facts.dumpFolder.c_str());
    facts.dumpFolderExists =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!facts.dumpFolderExists)
        return;
    const auto security = ReadSecurityFactsOf(facts.dumpFolder);
    facts.dumpFolderJudged = security.has_value();
    if (!security)
        return;
    const auto readers =
        ReadersOfFilesMadeIn(*security, ReadCurrentAccount().sid, TrustedAccountsHere());
    for (const AccountRights& reader : Named(readers))
        facts.dumpReaders.push_back(Described(reader));
}

} // namespace

ErrorReportingFacts GatherErrorReporting() {
    ErrorReportingFacts facts;
    const LocalDumpSettings dumps = ReadLocalDumpSettings(L"Brevanto.exe");
    facts.dumpsConfigured = dumps.configured;
    facts.dumpFolder = dumps.folder;
    facts.dumpCount = dumps.count;
    facts.dumpType = dumps.type;
    if (facts.dumpsConfigured)
        JudgeDumpFolder(facts);
    const EventSourceRegistration source = ReadEventSourceRegistration();
    facts.sourceRegistered = source.registered;
    facts.messageFile = source.messageFile;
    const ErrorDialogSetting dialog = ReadErrorDialogSetting();
    facts.errorDialogHidden = dialog.hidden;
    facts.dontShowUiSetIn = dialog.setIn;
    return facts;
}

} // namespace brevanto::check
