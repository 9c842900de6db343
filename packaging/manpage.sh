#!/usr/bin/env bash
# Makes the manual page of PROGRAM from its own --help and --version with
# help2man, so that the page says what the program says. With --commands,
# the page gets a section COMMANDS made from "PROGRAM COMMAND --help" of
# every command that "PROGRAM --help" lists under "commands:".
#
#   manpage.sh [--commands] PROGRAM SUMMARY "SEE ALSO" OUTPUT.1.gz
set -euo pipefail

commands=0
if [ "$1" = --commands ]; then
  commands=1
  shift
fi
program=$1 summary=$2 see_also=$3 output=$4
name=${program##*/}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# vardelo-cli heads its help in lower case ("usage:", "options:", "exit
# status:"), as every usage error repeats the usage line, and scripts may
# look for it. help2man finds the synopsis and the sections OPTIONS,
# ENVIRONMENT and FILES only under the GNU headings ("Usage:", "Options:",
# ...), so it reads the help through a wrapper that capitalises the headings
# on the way and nothing else; the one-line exit status of the command list
# becomes a section EXIT STATUS with a row per status.
cat >"$work/headings.sed" <<'SED'
s/^usage: /Usage: /
/^exit status: [0-9]/{
  s/^exit status: \([0-9]\) /*Exit status*\n  \1  /
  s/, \([0-9]\) /\n  \1  /g
}
s/^\([a-z][a-z ]*\):$/\u\1:/
SED
mkdir "$work/bin"
wrapper=$work/bin/$name
{
  printf '#!/usr/bin/env bash\nset -o pipefail\n'
  printf '%q "$@" | sed -f %q\n' "$program" "$work/headings.sed"
} >"$wrapper"
chmod +x "$wrapper"

# Roff of a command's help: the usage line becomes the subsection and the
# synopsis, "Options:" and the like small headings, each row of the two
# columns a tagged paragraph. Backslashes and hyphens are escaped first;
# \& keeps a line that starts with a dot from being read as a request.
command_roff() {
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e 't escaped' -e ':escaped' \
      -e '/^$/d' \
      -e 's/^Usage: \([^ ]*\) \([^ ]*\)\(.*\)$/.SS \2\n\\fB\1 \2\\fR\3/' \
      -e 't' \
      -e 's/^\([A-Z][a-z ]*\):$/.PP\n\\fI\1:\\fR/' \
      -e 't' \
      -e 's/^  \([^ ]\|[^ ].*[^ ]\)  \+\([^ ].*\)$/.TP\n\\fB\1\\fR\n\\\&\2/' \
      -e 't' \
      -e 's/^  \([^ ].*\)$/.TP\n\\fB\1\\fR/' \
      -e 't' \
      -e 's/^ \{3,\}\([^ ].*\)$/\\\&\1/' \
      -e 't' \
      -e 's/^\(.*\)$/.PP\n\\\&\1/'
}

{
  if [ $commands = 1 ]; then
    # No word of a synopsis or an option broken at a hyphen: .nh here, .hy
    # back at the end of the section.
    printf '[COMMANDS]\n.nh\n'
    # The names in the command list: two blanks, a lower-case word, a blank.
    names=$("$wrapper" --help | sed -n '/^Commands:$/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
    [ -n "$names" ] || { echo "manpage.sh: $name --help lists no commands" >&2; exit 1; }
    for command in $names; do
      [ "$command" = help ] && continue
      "$wrapper" "$command" --help >"$work/help"
      command_roff <"$work/help"
    done
    printf '.hy\n'
  fi
  printf '[SEE ALSO]\n%s\n' "$see_also"
} >"$work/include"

help2man --no-info --section=1 --manual="User Commands" --name="$summary" \
  --include="$work/include" --output="$work/$name.1" "$wrapper"
gzip -9n <"$work/$name.1" >"$output.tmp"
mv "$output.tmp" "$output"
