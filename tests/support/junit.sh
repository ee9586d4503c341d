# JUnit-style results for the shell steps in tests/steps/. Source it, set JUNIT_CLASS, call
# record once per check and junit_write at the end.
#   record NAME OUTPUT_FILE STATUS   a check that passed (STATUS 0) or failed; on failure the
#                                    start of OUTPUT_FILE is shown and kept as the message
#   junit_write FILE SUITE           writes the cases; returns non-zero when any failed
CASES=()
FAILURES=0

xml_escape() {
    local text="$1"
    text="${text//&/&amp;}"
    text="${text//</&lt;}"
    text="${text//>/&gt;}"
    text="${text//\"/&quot;}"
    printf '%s' "$text"
}

record() {
    local name="$1" output="$2" status="$3"
    if [[ "$status" -eq 0 ]]; then
        CASES+=("<testcase classname=\"$JUNIT_CLASS\" name=\"$(xml_escape "$name")\"/>")
    else
        FAILURES=$((FAILURES + 1))
        echo "FAILED: $name" >&2
        head -c 4000 "$output" >&2
        local message
        message="$(head -c 4000 "$output" | tr -d '\000-\010\013\014\016-\037')"
        CASES+=("<testcase classname=\"$JUNIT_CLASS\" name=\"$(xml_escape "$name")\"><failure message=\"check failed\">$(xml_escape "$message")</failure></testcase>")
    fi
}

junit_write() {
    local file="$1" suite="$2"
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo "<testsuites><testsuite name=\"$suite\" tests=\"${#CASES[@]}\" failures=\"$FAILURES\">"
        printf '%s\n' "${CASES[@]}"
        echo '</testsuite></testsuites>'
    } >"$file"
    [[ "$FAILURES" -eq 0 ]]
}
