# shellcheck shell=bash
# Sourced by every script: a script that stops on a failed step says which
# step failed and how, instead of ending with a bare exit status. The line
# is quoted from the script: inside a trap, $BASH_COMMAND names the last
# command of a function rather than the call that failed.
trap 'ikw_step_failed $? $LINENO' ERR
ikw_step_failed() {
    local step
    step=$(sed -n "$2{s/^ *//;p}" "$0" 2>/dev/null)
    echo "${0##*/}: stopped at line $2 (\`$step\`): exit status $1" >&2
}

# ikw_quietly COMMAND...: runs a step whose output matters only when it
# fails; then the output is shown.
ikw_quietly() {
    local log status=0
    log=$(mktemp)
    "$@" >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || cat "$log" >&2
    rm -f "$log"
    return "$status"
}
