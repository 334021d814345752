# shellcheck shell=bash
# Sourced by every script: a script that stops on a failed step says which
# step failed and how, instead of ending with a bare exit status. The line
# is quoted from the file it is in: inside a trap, $BASH_COMMAND names the
# last command of a function rather than the call that failed. errtrace
# (-E) makes the trap fire inside functions and sourced files too, where
# most steps are.
set -E
ikw_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
trap 'ikw_step_failed $? $LINENO "${BASH_SOURCE[0]:-$0}"' ERR
ikw_step_failed() {  # status line file
    # A subshell's failure is told once, by the command that started it.
    [ "$BASH_SUBSHELL" -eq 0 ] || return 0
    local step where="line $2"
    step=$(sed -n "$2{s/^ *//;p}" "$3" 2>/dev/null)
    [ "$3" -ef "$0" ] || where+=" of ${3#"$ikw_root"/}"
    # In a function: which one, and the line that called it.
    [ "${FUNCNAME[1]:-main}" = main ] || [ "${FUNCNAME[1]}" = source ] ||
        where+=" in ${FUNCNAME[1]}, called at line ${BASH_LINENO[1]} of ${BASH_SOURCE[2]#"$ikw_root"/}"
    echo "${0##*/}: stopped at $where (\`$step\`): exit status $1" >&2
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

# ikw_configure DIR [CMAKE ARGUMENTS...]: configures a build tree the first
# time only; a tree that has its build file is left as it is, so its
# options stay what they were made with. The compilers come from CC and CXX
# as usual.
ikw_configure() {
    local dir=$1
    shift
    [ -f "$dir/build.ninja" ] || ikw_quietly cmake -S "$ikw_root" -B "$dir" -G Ninja "$@"
}
