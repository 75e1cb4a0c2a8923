#include "tests/runner/core/junit.h"

#include <cstdio>

namespace brevanto::runner {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at text's start, 0 when it is not one.
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool notACharacter = code == 0xFFFE || code == 0xFFFF;
    if (code < minimum || code > 0x10FFFF || surrogate || notACharacter)
        return 0;
    return length;
}

std::string Seconds(long long ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", ms / 1000, ms % 1000);
    return text;
}

std::string Attribute(std::string_view name, std::string_view value) {
    std::string attribute(1, ' ');
    attribute.append(name).append("=\"").append(XmlText(value)).append("\"");
    return attribute;
}

void WriteProperties(std::string& xml, const Properties& properties, std::string_view indent) {
    if (properties.empty())
        return;
    xml += std::string(indent) + "<properties>\n";
    for (const auto& [name, value] : properties)
        xml += std::string(indent) + "  <property" + Attribute("name", name) +
               Attribute("value", value) + "/>\n";
    xml += std::string(indent) + "</properties>\n";
}

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

void WriteCase(std::string& xml, const std::string& arch, const TestRecord& test) {
    const auto [classname, name] = JunitNames(arch, test.name);
    xml += "    <testcase" + Attribute("classname", classname) + Attribute("name", name) +
           Attribute("time", Seconds(test.ms)) + ">\n";
    if (test.outcome == Outcome::Failed) {
        const std::string message = test.message.empty() ? "failed" : test.message;
        xml += "      <failure" + Attribute("message", FirstLine(message)) + ">" +
               XmlText(test.output.empty() ? message : message + "\n" + test.output) +
               "</failure>\n";
    } else if (test.outcome == Outcome::Skipped) {
        xml += "      <skipped" + Attribute("message", test.message) + "/>\n";
    }
    if (!test.allowances.empty() || !test.windowsOnly.empty()) {
        std::string reported;
        for (const std::string& why : test.allowances)
            reported += "Wine allowance: " + why + "\n";
        for (const std::string& what : test.windowsOnly)
            reported += "Windows-only check not made: " + what + "\n";
        xml += "      <system-out>" + XmlText(reported) + "</system-out>\n";
    }
    xml += "    </testcase>\n";
}

} // namespace

std::pair<std::string, std::string> JunitNames(std::string_view arch, std::string_view test) {
    const auto dot = test.find('.');
    const std::string_view suite = dot == std::string_view::npos ? test : test.substr(0, dot);
    const std::string_view name = dot == std::string_view::npos ? test : test.substr(dot + 1);
    return {std::string(arch) + "." + std::string(suite), std::string(name)};
}

std::string XmlText(std::string_view text) {
    std::string xml;
    xml.reserve(text.size());
    while (!text.empty()) {
        const char c = text.front();
        const std::size_t length = Utf8Length(text);
        if (length == 0) {
            xml += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        if (length > 1) {
            xml += text.substr(0, length);
        } else if (c == '&') {
            xml += "&amp;";
        } else if (c == '<') {
            xml += "&lt;";
        } else if (c == '>') {
            xml += "&gt;";
        } else if (c == '"') {
            xml += "&quot;";
        } else if (c == '\n' || c == '\t') {
            xml += c;
        } else if (c == '\r') {
            xml += "&#13;";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            xml += kReplacement;
        } else {
            xml += c;
        }
        text.remove_prefix(length);
    }
    return xml;
}

std::string JunitXml(const std::vector<JunitSuite>& suites) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    for (const JunitSuite& suite : suites) {
        int failures = 0;
        int skipped = 0;
        long long ms = 0;
        for (const TestRecord& test : suite.tests) {
            failures += test.outcome == Outcome::Failed;
            skipped += test.outcome == Outcome::Skipped;
            ms += test.ms;
        }
        xml += "  <testsuite" + Attribute("name", suite.name) +
               Attribute("tests", std::to_string(suite.tests.size())) +
               Attribute("failures", std::to_string(failures)) + Attribute("errors", "0") +
               Attribute("skipped", std::to_string(skipped)) + Attribute("time", Seconds(ms)) +
               ">\n";
        WriteProperties(xml, suite.properties, "    ");
        for (const TestRecord& test : suite.tests)
            WriteCase(xml, suite.arch, test);
        xml += "  </testsuite>\n";
    }
    xml += "</testsuites>\n";
    return xml;
}

} // namespace brevanto::runner
