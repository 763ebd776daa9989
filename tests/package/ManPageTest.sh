#!/bin/sh
# The manual pages explain every command and option that --help shows, and no
# other: the option lists of both programs' help texts (each command's for
# tintwell-cli) against those of the pages.
# Usage: ManPageTest.sh BUILD_DIR
set -eu
bin=$1/bin pages=$1/packaging
status=0

# The options named in a text: "-x" and "--long-name", not parts of words.
options() { grep -oP '(?<![\w\\-])--?[a-zA-Z][a-zA-Z-]*' | sed 's/-$//' | sort -u; }
# A page's text without its font changes, "\-" as "-".
page() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$pages/$1"; }

compare() {  # NAME HELP_OPTIONS PAGE_OPTIONS
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: --help and the manual page name different options" >&2
    echo "$2" >"$tmp/help" && echo "$3" >"$tmp/page"
    diff "$tmp/help" "$tmp/page" | sed -n 's/^</  only in --help:/p; s/^>/  only in the page:/p' >&2
    status=1
  fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# tintwell: Qt's own options (-platform, -style) are named in the page as examples
# of --help-all, which lists them; --help itself names these.
help=$(env -u DISPLAY "$bin/tintwell" --help | options)
compare tintwell "$help" "$(page tintwell.1 | sed -n '/^\.SH OPTIONS/,/^\.SH /p' |
  grep -v -- '-platform\|-style' | options)"

commands="recolor restore export-indices maps show-map info"
help=$({ "$bin/tintwell-cli" --help; echo --version;
         for c in $commands; do "$bin/tintwell-cli" "$c" --help; done; } | options)
compare tintwell-cli "$help" "$(page tintwell-cli.1 | sed -n '/^\.SH COMMANDS/,/^\.SH EXIT/p' | options)"
for c in $commands; do
  page tintwell-cli.1 | grep -q "^\.SS $c " || page tintwell-cli.1 | grep -qx "\.SS $c" ||
    { echo "FAILED: tintwell-cli.1 explains no command $c" >&2; status=1; }
done
# What --help states by example or in figures, the page states alike: the
# pairs of indices it shows, the ranges and the bit depths it names.
help=$({ "$bin/tintwell-cli" --help; for c in $commands; do "$bin/tintwell-cli" "$c" --help; done; } |
  grep -oE '[0-9]+-bit|[0-9-]+:[0-9-]+(,[0-9-]+:[0-9-]+)+|\b[0-9]+-[0-9]+\b' | sort -u)
for said in $help; do
  page tintwell-cli.1 | grep -qF -- "$said" ||
    { echo "FAILED: tintwell-cli.1 does not say \"$said\" as --help does" >&2; status=1; }
done
exit $status
