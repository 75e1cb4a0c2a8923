#pragma once

#include <cstdint>
#include <string>

#include "check/core/settings_review.h"
#include "check/core/workstation_facts.h"
#include "tests/unit/fakes.h"

namespace brevanto::testing {

// A user component class that is registered, created and released, and knows its members.
inline check::ClassFacts ReadyClass() {
    check::ClassFacts c;
    c.role = L"user component";
    c.progId = L"ZELTAR_User.clsCurrentUser";
    c.clsid = L"{B7A3C2D1-5E4F-4A6B-9C8D-1E2F3A4B5C01}";
    c.serverKind = L"InprocServer32";
    c.serverPath = L"C:\\Lab\\user.dll";
    c.fileExists = true;
    c.fileBits = 32;
    c.threadingModel = L"Apartment";
    c.created = true;
    c.membersNeeded = {L"SetExePath", L"LoginUser"};
    return c;
}

// A workstation where Brevanto works, with a stored password.
inline check::WorkstationFacts ReadyWorkstation() {
    MemoryStore store;
    store.Set(L"LogInData", L"Username", L"labtech");
    store.Set(L"LogInData", L"Password", L"Pw-S3cret!");
    store.Set(L"ExeParameters", L"Requestnum", L"2026-1");
    check::WorkstationFacts facts;
    facts.host = {32, L"10.0.19045", L"C:\\Lab"};
    facts.account = {L"LAB\\labtech", L"S-1-5-21-1-2-3-1001", false, false};
    facts.creationTimeLimitMs = 10000;
    facts.classes = {ReadyClass()};
    facts.settings = check::ReviewSettings(
        store, [](auto, auto) { return std::wstring(); }, L"C:\\Lab");
    facts.job = check::ReviewJobPath(store);
    facts.exportFolder = {L"C:\\Lab\\PDF", true, true, false, false, L"", false};
    // As docs/check.md recommends for a lab workstation.
    facts.errorReporting.errorDialogHidden = true;
    facts.errorReporting.dontShowUiSetIn =
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting";
    return facts;
}

// For messages: the texts of these tests are ASCII.
// A wide text as UTF-8, for messages and descriptions: every character is kept, so two different
// texts never read the same. Texts are compared as wide texts, not through this.
inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (u >> 18));
            out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

} // namespace brevanto::testing
