#include "report/report_job.h"

#include "report/caught_error.h"
#include "report/display_text.h"
#include "report/part_number.h"
#include "report/run_error.h"
#include "report/run_log.h"
#include "report/stored_settings.h"
#include "report/view_mode.h"
#include "report/wiped_text.h"

namespace brevanto {
namespace {

// Unwinds the job once the window has been unloaded under it.
struct JobAbandoned {};

constexpr wchar_t kOutOfMemory[] = L"Out of memory";
constexpr wchar_t kUnknownError[] = L"Unexpected error";

class ReportJob {
public:
    ReportJob(JobWindow& window, const SettingsStore& settings, AutomationFactory& factory,
              const std::wstring& programDirectory)
        : window_(window), state_(window.State()), settings_(settings), factory_(factory),
          directory_(programDirectory) {}

    void Run() {
        try {
            RunParts();
        } catch (const JobAbandoned&) {
        } catch (...) {
            // Out of memory too (a huge value or a starved process): the run fails in its part
            // like any other error.
            FailIfOpen(CaughtErrorText({kUnknownError, kOutOfMemory}));
        }
        if (window_.IsOpen())
            window_.PaintLog();
    }

private:
    void RunParts() {
        EnterPart(1);
        Log(L"clsCurrentUser");
        state_.User = Create(kUserClass);
        Put(state_.User, L"SetExePath", directory_);

        EnterPart(2);
        Log(L"User");
        Put(state_.User, L"PasswordDeptCode", std::wstring());

        EnterPart(3);
        Log(L"LoginUser");
        // The password is ours only until LoginUser returns.
        std::vector<AutomationValue> login(2);
        login[0] = Read(kUsername);
        login[1] = Read(kPassword);
        {
            const WipeOnExit wipe(std::get<std::wstring>(login[1]));
            Call(state_.User, L"LoginUser", login);
        }

        EnterPart(4);
        Log(L"LabResultViewer");
        state_.LabResultViewer = Create(kViewerClass);

        EnterPart(5);
        Put(state_.LabResultViewer, L"zeltarUser", state_.User);
        Log(L"LabResultViewer.zeltarUser = User");
        viewer_ = state_.LabResultViewer;

        EnterPart(6);
        ConfigureViewer();

        EnterPart(7);
        SetViewMode();

        EnterPart(8);
        Log(L"Show_Results ");
        Call(viewer_, L"Show_Results", {});
        // A window unloaded while the viewer ran may have cut its work short: not completed.
        EnsureOpen();
        state_.Outcome = JobOutcome::Completed;
        Log(L"Show_Results Done");
        viewer_.reset();
        EnsureOpen();
        window_.ArmExitTimer();
    }

    void ConfigureViewer() {
        // Each value is read again for the component, so a change between the two reads shows.
        Log(L"setexportpath " + Read(kExportFolder));
        Put(state_.LabResultViewer, L"setexportpath", Read(kExportFolder));
        Put(state_.LabResultViewer, L"SetDLLVer", Read(kReportDllVersion));
        const std::wstring requestNumber = Read(kRequestNumber);
        EnsureOpen();
        window_.NoteRequestNumber(requestNumber);
        Log(L"Requestnum " + requestNumber);
        Put(viewer_, L"Requestnum", Read(kRequestNumber));
        Put(viewer_, L"AutoPrint", true);
    }

    void SetViewMode() {
        Log(L"ViewMode");
        Put(viewer_, L"viewmode", Read(kViewMode));
        if (IsViewOnly(settings_)) {
            Log(L"ViewMode 0  - View only");
            Put(viewer_, L"loadviewer", true);
            Put(viewer_, L"Export", false);
            Log(L"ViewMode 0 done");
            return;
        }
        Log(L"ViewMode1a");
        const std::wstring printMode = Read(kPdfPrintMode);
        {
            const ObjectRef classes = Get(Get(viewer_, L"zeltarUser"), L"ZELTARClasses");
            Put(classes, L"PDFPrintMode", printMode);
        }
        if (PrintSwitchIsOn(settings_)) {
            Put(viewer_, L"loadviewer", true);
            Log(L"Loadviewer yes");
        } else {
            Put(viewer_, L"loadviewer", false);
            Log(L"loadviewer no");
        }
        Put(viewer_, L"Export", ExportSwitchIsOn(settings_));
        Log(L"ViewMode1b");
    }

    void FailIfOpen(const std::wstring& description) {
        if (window_.IsOpen())
            TakeFailurePath(description);
    }

    void TakeFailurePath(const std::wstring& description) {
        state_.Outcome = JobOutcome::Failed;
        window_.SetCaption(FailureCaption(description, state_.CurrentPart));
        window_.SetLogText(window_.Caption());
        window_.DoEvents();
        if (window_.IsOpen())
            window_.ArmExitTimer();
    }

    void EnterPart(std::int16_t part) { state_.CurrentPart = part; }

    void EnsureOpen() const {
        if (!window_.IsOpen())
            throw JobAbandoned{};
    }

    void Log(const std::wstring& message) {
        EnsureOpen();
        WriteLog(window_, message);
    }

    std::wstring Read(const JobSetting& setting) const {
        return GetSetting(settings_, setting, directory_);
    }

    static AutomationObject& Require(const ObjectRef& object) {
        if (!object)
            throw RunError(L"Object variable not set");
        return *object;
    }

    // Loading a component, and its methods, may take long; puts and gets are taken to be quick.
    ObjectRef Create(std::wstring_view className) {
        EnsureOpen();
        window_.PaintLog();
        return factory_.Create(className);
    }

    void Put(const ObjectRef& object, std::wstring_view member, const AutomationValue& value) {
        EnsureOpen();
        Require(object).Put(member, value);
    }

    ObjectRef Get(const ObjectRef& object, std::wstring_view member) {
        EnsureOpen();
        return Require(object).Get(member);
    }

    void Call(const ObjectRef& object, std::wstring_view member,
              const std::vector<AutomationValue>& args) {
        EnsureOpen();
        AutomationObject& target = Require(object);
        window_.PaintLog();
        target.Call(member, args);
    }

    JobWindow& window_;
    WindowState& state_;
    const SettingsStore& settings_;
    AutomationFactory& factory_;
    const std::wstring& directory_;
    // The job's own reference to the viewer, released when the job returns.
    ObjectRef viewer_;
};

} // namespace

std::wstring FailureCaption(std::wstring_view description, std::int16_t part) {
    return L"Brevanto.exe Generate " + ForDisplay(description) + L" Part:" + PartNumberText(part);
}

void GenerateReport(JobWindow& window, const SettingsStore& settings, AutomationFactory& factory,
                    const std::wstring& programDirectory) {
    ReportJob(window, settings, factory, programDirectory).Run();
}

} // namespace brevanto
