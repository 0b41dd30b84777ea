#!/usr/bin/env bash
# Says why each test that ctest skipped was skipped: ctest itself shows only
# "Skipped". The reasons come from its JUnit report (ctest --output-junit):
# a GoogleTest test's GTEST_SKIP() message, a script's line that says
# "skipped".
#   scripts/skip-reasons.sh REPORT
set -euo pipefail
report=$1
[[ -f $report ]] || exit 0

awk '
function unescape(text) {
    gsub(/&lt;/, "<", text); gsub(/&gt;/, ">", text); gsub(/&quot;/, "\"", text)
    gsub(/&apos;/, "\047", text); gsub(/&amp;/, "\\&", text)
    return text
}
function told() {
    if (!skipped) return
    if (!shown++) print "\nSkipped, and why:"
    reason = gtestReason != "" ? gtestReason : scriptReason
    printf "  %s: %s\n", name, reason != "" ? reason : "(no reason given)"
}
/<testcase / {
    match($0, /name="[^"]*"/)
    name = unescape(substr($0, RSTART + 6, RLENGTH - 7))
    skipped = index($0, "status=\"notrun\"") > 0
    gtestReason = scriptReason = ""
    inOutput = inSkip = 0
    next
}
/<\/testcase>/ { told(); next }
{
    line = $0
    if (sub(/.*<system-out>/, "", line)) inOutput = 1
    if (!inOutput) next
    if (sub(/<\/system-out>.*/, "", line)) inOutput = 0
    line = unescape(line)
    if (line ~ /^\[  SKIPPED \]/) inSkip = 0
    else if (inSkip) gtestReason = gtestReason (gtestReason == "" ? "" : " ") line
    else if (line ~ /: Skipped$/) inSkip = 1
    else if (scriptReason == "" && tolower(line) ~ /skipped/) scriptReason = line
}
' "$report"
