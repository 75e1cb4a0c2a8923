#include "tests/runner/core/run_state.h"

#include <charconv>

#include "tests/runner/core/text_lines.h"

namespace brevanto::runner {
namespace {

constexpr std::string_view kHeading = "brevanto-test-runner run state 1";

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::optional<std::string> Unhex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (error != std::errc() || end != hex.data() + i + 2)
            return std::nullopt;
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

std::string Line(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (const std::string_view field : fields) {
        if (!line.empty())
            line += '\t';
        line += field;
    }
    return line + "\n";
}

} // namespace

std::string RunStateText(const RunState& state) {
    std::string text = std::string(kHeading) + "\n";
    for (const SnapshotTree& tree : state.trees) {
        text +=
            Line({"tree", tree.root, tree.view, tree.path, tree.present ? "present" : "absent"});
        for (const SnapshotKey& key : tree.keys) {
            text += Line({"key", key.path});
            for (const SnapshotValue& value : key.values) {
                const std::string data(value.data.begin(), value.data.end());
                text += Line({"value", Hex(value.name), std::to_string(value.type), Hex(data)});
            }
        }
    }
    for (const WatchedFolder& folder : state.folders)
        text += Line({"folder", folder.path, folder.present ? "present" : "absent"});
    for (const WatchedEntries& entries : state.entries) {
        text += Line({"entries", entries.folder, entries.prefix});
        for (const std::string& name : entries.present)
            text += Line({"entry", name});
    }
    for (const std::string& copy : state.copies)
        text += Line({"copy", copy});
    for (const Registration& registration : state.registrations)
        text += Line({"registered", registration.arch, registration.scope, registration.dll});
    if (state.restored)
        text += Line({"restored"});
    return text;
}

std::optional<RunState> ParseRunState(std::string_view text, std::string& error) {
    RunState state;
    int number = 0;
    bool headed = false;
    while (!text.empty()) {
        ++number;
        const std::string_view line = TakeLine(text);
        const auto refuse = [&] {
            error = "line " + std::to_string(number) + ": " + std::string(line);
            return std::nullopt;
        };
        if (!headed) {
            if (line != kHeading)
                return refuse();
            headed = true;
            continue;
        }
        const auto fields = Fields(line);
        const std::string_view kind = fields[0];
        if (kind == "tree" && fields.size() == 5 &&
            (fields[4] == "present" || fields[4] == "absent")) {
            state.trees.push_back({std::string(fields[1]),
                                   std::string(fields[2]),
                                   std::string(fields[3]),
                                   fields[4] == "present",
                                   {}});
        } else if (kind == "key" && fields.size() == 2 && !state.trees.empty()) {
            state.trees.back().keys.push_back({std::string(fields[1]), {}});
        } else if (kind == "value" && fields.size() == 4 && !state.trees.empty() &&
                   !state.trees.back().keys.empty()) {
            const auto name = Unhex(fields[1]);
            const auto data = Unhex(fields[3]);
            std::uint32_t type = 0;
            const auto [typeEnd, typeError] =
                std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), type);
            if (!name || !data || typeError != std::errc() ||
                typeEnd != fields[2].data() + fields[2].size())
                return refuse();
            state.trees.back().keys.back().values.push_back(
                {*name, type, std::vector<unsigned char>(data->begin(), data->end())});
        } else if (kind == "folder" && fields.size() == 3 &&
                   (fields[2] == "present" || fields[2] == "absent")) {
            state.folders.push_back({std::string(fields[1]), fields[2] == "present"});
        } else if (kind == "entries" && fields.size() == 3) {
            state.entries.push_back({std::string(fields[1]), std::string(fields[2]), {}});
        } else if (kind == "entry" && fields.size() == 2 && !state.entries.empty()) {
            state.entries.back().present.emplace_back(fields[1]);
        } else if (kind == "copy" && fields.size() == 2) {
            state.copies.emplace_back(fields[1]);
        } else if (kind == "registered" && fields.size() == 4) {
            state.registrations.push_back(
                {std::string(fields[1]), std::string(fields[2]), std::string(fields[3])});
        } else if (kind == "restored" && fields.size() == 1) {
            state.restored = true;
        } else if (!line.empty()) {
            return refuse();
        }
    }
    if (!headed) {
        error = "empty";
        return std::nullopt;
    }
    return state;
}

} // namespace brevanto::runner
