#!/bin/bash
# Runs the bash completion of vortimax-cli against the built program.
# usage: completion_test.sh COMPLETION_SCRIPT VORTIMAX_CLI DATA_DIR
set -euo pipefail
script=$1 cli=$2 data=$3
source "$script"
fail() { echo "FAIL: $*" >&2; exit 1; }

# complete WORD... : completes the last word of "vortimax-cli WORD..." into $reply.
complete_words() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$#
    _vortimax_cli
    reply=" ${COMPREPLY[*]} "
}
expect() { [[ "$reply" == *" $1 "* ]] || fail "\"$2\" does not offer $1 (got:$reply)"; }
refuse() { [[ "$reply" != *" $1 "* ]] || fail "\"$2\" offers $1"; }

complete_words "" && for c in render params list show convert check --version; do expect "$c" ""; done
complete_words re && expect render re && refuse list re
complete_words render --th && expect --threads "render --th"
complete_words render - && expect -o "render -" && expect --palette "render -"
complete_words params Man && expect Mandel "params Man" && expect Mandel24 "params Man" &&
    refuse Julia "params Man"
complete_words render Tiera && expect Tiera_Julia "render Tiera"
complete_words show "$data/Fractals/Starter.par" Sea && expect Seahorse_Valley "show Starter.par Sea"
complete_words render "$data/Fractals/Starter.par" "" && expect Julia_Spirals "render Starter.par"
complete_words list --dir "$data/Pal" && expect "$data/Palettes" "list --dir"
complete_words animate --key "$data/Fractals/Starter.par" Sea && expect Seahorse_Valley "animate --key Starter.par Sea"
complete_words animate z.anim --format "" && expect avi "animate --format" && expect mp4 "animate --format"
complete_words animate z.anim --codec f && expect ffv1 "animate --codec f" && refuse dib "animate --codec f"
complete_words animate --co && expect --codec "animate --co"
echo "completion offers what the program knows"
