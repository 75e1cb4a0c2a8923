#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "report/automation.h"
#include "report/job_window.h"
#include "report/run_error.h"
#include "report/settings_store.h"

namespace brevanto::testing {

// An in-memory settings store that counts every read, so tests can prove nothing is cached.
class MemoryStore : public SettingsStore {
public:
    using Key = std::tuple<std::wstring, std::wstring, std::wstring>;

    void Set(std::wstring section, std::wstring key, std::wstring value) {
        values_[{L"ZELTARPDFCreator", std::move(section), std::move(key)}] = std::move(value);
    }

    std::optional<std::wstring> TryRead(std::wstring_view app, std::wstring_view section,
                                        std::wstring_view key) const override {
        const Key k{std::wstring(app), std::wstring(section), std::wstring(key)};
        ++reads_[k];
        const auto it = values_.find(k);
        std::optional<std::wstring> value;
        if (it != values_.end())
            value = it->second;
        if (onRead)
            onRead(section, key);
        return value;
    }

    int Reads(std::wstring section, std::wstring key) const {
        const auto it = reads_.find({L"ZELTARPDFCreator", std::move(section), std::move(key)});
        return it == reads_.end() ? 0 : it->second;
    }

    // Called after each read; lets a test change a value between two reads.
    std::function<void(std::wstring_view, std::wstring_view)> onRead;

private:
    std::map<Key, std::wstring> values_;
    mutable std::map<Key, int> reads_;
};

// Every call the fake components receive, in order, as "Object.kind member value...".
struct CallJournal {
    std::vector<std::wstring> calls;
    // "Object.Member" -> description; that member raises a RunError after being recorded.
    std::map<std::wstring, std::wstring> failures;
    // Runs inside the named member's call, like a component that lets window events run.
    std::map<std::wstring, std::function<void()>> during;
    // Sees the arguments of the named method's call, as the component gets them.
    std::map<std::wstring, std::function<void(const std::vector<AutomationValue>&)>> arguments;
    // Runs as each call is recorded, creations included, before the call's own effects.
    std::function<void(const std::wstring& call)> onCall;
    std::set<std::wstring> unavailableClasses;
    int liveObjects = 0;

    void Add(std::wstring call) {
        calls.push_back(std::move(call));
        if (onCall)
            onCall(calls.back());
    }
};

class FakeObject : public AutomationObject {
public:
    FakeObject(CallJournal& journal, std::wstring name)
        : journal_(journal), name_(std::move(name)) {
        ++journal_.liveObjects;
    }
    ~FakeObject() override { --journal_.liveObjects; }

    const std::wstring& Name() const { return name_; }

    void Put(std::wstring_view member, const AutomationValue& value) override {
        Record(L"put", member, Describe(value));
        properties_[std::wstring(member)] = value;
    }

    ObjectRef Get(std::wstring_view member) override {
        Record(L"get", member, L"");
        if (const auto it = gettable.find(std::wstring(member)); it != gettable.end())
            return it->second;
        if (const auto it = properties_.find(std::wstring(member)); it != properties_.end())
            if (const auto* object = std::get_if<ObjectRef>(&it->second))
                return *object;
        throw RunError(L"Object doesn't support this property or method");
    }

    void Call(std::wstring_view member, const std::vector<AutomationValue>& args) override {
        std::wstring described;
        for (const auto& arg : args)
            described += (described.empty() ? L"" : L" ") + Describe(arg);
        if (const auto it = journal_.arguments.find(name_ + L"." + std::wstring(member));
            it != journal_.arguments.end())
            it->second(args);
        Record(L"call", member, described);
    }

    bool Knows(std::wstring_view member) override {
        journal_.calls.push_back(name_ + L".knows " + std::wstring(member));
        return !unknown.count(std::wstring(member));
    }

    // Members Knows denies.
    std::set<std::wstring> unknown;
    // Objects a get gives back, by member name.
    std::map<std::wstring, ObjectRef> gettable;

    const AutomationValue* Property(const std::wstring& member) const {
        const auto it = properties_.find(member);
        return it == properties_.end() ? nullptr : &it->second;
    }

private:
    static std::wstring Describe(const AutomationValue& value) {
        if (const auto* text = std::get_if<std::wstring>(&value))
            return L"\"" + *text + L"\"";
        if (const auto* flag = std::get_if<bool>(&value))
            return *flag ? L"true" : L"false";
        if (const auto* number = std::get_if<std::int16_t>(&value))
            return L"i2:" + std::to_wstring(*number);
        const auto& object = std::get<ObjectRef>(value);
        const auto* fake = dynamic_cast<const FakeObject*>(object.get());
        return L"object:" + (fake ? fake->name_ : std::wstring(L"null"));
    }

    void Record(std::wstring_view kind, std::wstring_view member, const std::wstring& value) {
        const std::wstring where = name_ + L"." + std::wstring(member);
        std::wstring line = name_ + L"." + std::wstring(kind) + L" " + std::wstring(member);
        if (!value.empty())
            line += L" " + value;
        journal_.Add(line);
        if (const auto it = journal_.during.find(where); it != journal_.during.end())
            it->second();
        if (const auto it = journal_.failures.find(where); it != journal_.failures.end())
            throw RunError(it->second);
    }

    CallJournal& journal_;
    std::wstring name_;
    std::map<std::wstring, AutomationValue> properties_;
};

// Creates a User (whose ZELTARClasses gives one Classes object) and a Viewer.
class FakeFactory : public AutomationFactory {
public:
    explicit FakeFactory(CallJournal& journal) : journal_(journal) {}

    ObjectRef Create(std::wstring_view className) override {
        const std::wstring name = className == L"ZELTAR_User.clsCurrentUser" ? L"User"
                                  : className == L"velmonic.labresultviewer"
                                      ? L"Viewer"
                                      : std::wstring(className);
        journal_.Add(L"create " + std::wstring(className));
        if (journal_.unavailableClasses.count(name) || (name != L"User" && name != L"Viewer"))
            throw RunError(L"Cannot create object \"" + std::wstring(className) + L"\"");
        auto object = std::make_shared<FakeObject>(journal_, name);
        if (name == L"User")
            object->gettable[L"ZELTARClasses"] = std::make_shared<FakeObject>(journal_, L"Classes");
        return object;
    }

private:
    CallJournal& journal_;
};

// The main window as the job sees it, with a hook into each event run.
class FakeWindow : public JobWindow {
public:
    WindowState& State() override { return state; }
    bool IsOpen() const override { return open; }

    std::wstring LogText() const override {
        Touch();
        return log;
    }
    void SetLogText(const std::wstring& text) override {
        Touch();
        log = text;
    }
    std::wstring Caption() const override {
        Touch();
        return caption;
    }
    void SetCaption(const std::wstring& text) override {
        Touch();
        caption = text;
    }
    void PaintLog() override {
        Touch();
        ++logPaints;
        if (paintJournal)
            paintJournal->calls.push_back(L"paint log of " + std::to_wstring(LineCount()) +
                                          L" lines");
    }
    void DoEvents() override {
        Touch();
        ++eventRuns;
        if (onEvents)
            onEvents();
    }
    void ArmExitTimer() override {
        Touch();
        ++exitTimerArmed;
    }
    void NoteRequestNumber(const std::wstring& requestNumber) override {
        Touch();
        notedRequestNumbers.push_back(requestNumber);
    }

    // Simulates Cancel: the window is unloaded and must not be used again.
    void Unload() { open = false; }

    WindowState state;
    std::wstring log;
    std::wstring caption = L"Lab Report Generator EXE";
    bool open = true;
    int eventRuns = 0;
    int exitTimerArmed = 0;
    int logPaints = 0;
    // Each request number the job handed over for the run's record, in order.
    std::vector<std::wstring> notedRequestNumbers;
    // Where PaintLog records itself, with the text it paints, among the components' calls.
    CallJournal* paintJournal = nullptr;
    mutable int touchesAfterUnload = 0;
    std::function<void()> onEvents;

private:
    std::size_t LineCount() const {
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = log.find(L"\r\n", at)) != std::wstring::npos; at += 2)
            ++lines;
        return lines;
    }

    void Touch() const {
        if (!open)
            ++touchesAfterUnload;
    }
};

} // namespace brevanto::testing
