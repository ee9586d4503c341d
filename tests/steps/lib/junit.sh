# JUnit-style results for the steps in tests/steps/, sourced by them (this folder is not a
# step). Set JUNIT_CLASS before recording; record appends to CASES and counts FAILURES.

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

# record NAME OUTPUT_FILE STATUS
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

# write_results FILE: the suite of everything recorded.
write_results() {
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo "<testsuites><testsuite name=\"$JUNIT_CLASS\" tests=\"${#CASES[@]}\" failures=\"$FAILURES\">"
        printf '%s\n' "${CASES[@]}"
        echo '</testsuite></testsuites>'
    } >"$1"
}

# write_package_samples BUILD FOLDER: the package sample writer of the native or the Windows
# build writes its samples into FOLDER, recorded as one check (with the step's ROOT, WORK and
# record). Returns 1 when the Windows build or Wine is not there to run it.
write_package_samples() {
    local build="$1" folder="$2"
    mkdir -p "$folder"
    if [[ "$build" == native ]]; then
        "$ROOT/build/write_package_samples" "$folder" >"$WORK/log" 2>&1
    else
        [[ -e "$ROOT/build-win/write_package_samples.exe" ]] && command -v wine >/dev/null || return 1
        (export WINEDEBUG=-all
         timeout 300 wine "$ROOT/build-win/write_package_samples.exe" \
             "$(winepath -w "$folder" 2>/dev/null)") >"$WORK/log" 2>&1
    fi
    record "write samples $build" "$WORK/log" $?
}
