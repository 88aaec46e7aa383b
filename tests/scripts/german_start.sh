#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A German user starts calvyx: the menu bar is German, and the help command chosen by
# its German name opens the German book at the page it names (the connection topics).
# A Chinese user in the People's Republic gets the Chinese menus, a Chinese user in
# Taiwan the English ones (there is no book in traditional Chinese): the windows follow
# the help book's rule.
set -euo pipefail
build=$(cd "${1:?usage: german_start.sh BUILD_DIR}" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tools/lib/session.sh"
work=$(mktemp -d /tmp/calvyx-german-XXXXXX)
trap 'rm -rf "$work"' EXIT
session_init "$work"
session_settings "$work" "$work/calc"
fail() { echo "FAIL: $*" >&2; exit 1; }

# run LOCALE COMMAND: calvyx for a user of LOCALE, choosing COMMAND; its output.
run() {
  LANGUAGE= LC_ALL=$1 QT_QPA_PLATFORM=offscreen CALVYX_EXIT_AFTER_HELP=$2 timeout 60 "$build/app/calvyx" 2>"$work/calvyx.err" ||
    fail "calvyx for $1 choosing '$2' exited $?: $(cat "$work/calvyx.err")"
}

got=$(run de_DE.UTF-8 'Hilfe>Themen zur Verbindung')
echo "$got"
[[ $got == *$'calvyx: menus Datei|ROM|'*$'|Hilfe\n'* ]] || fail "the German menus are not Datei, ROM, ..., Hilfe: '$got'"
[[ $got =~ calvyx:\ help\ qrc:/help/CalvyxGerman/connect\.html\ \"Den\ Rechner\ verbinden\"\ ([0-9]+)\ characters ]] ||
  fail "Hilfe > Themen zur Verbindung did not open the German page on connecting: '$got'"
((BASH_REMATCH[1] > 200)) || fail "the German connection page has only ${BASH_REMATCH[1]} characters"

got=$(run zh_CN.UTF-8 '帮助>目录和索引')
echo "$got"
[[ $got == *'calvyx: menus 文件|ROM|'*'|帮助'*'qrc:/help/CalvyxChinese/index.html'* ]] || fail "not Chinese for the PRC: '$got'"

got=$(run zh_TW.UTF-8 'Help>Contents and Index')
echo "$got"
[[ $got == *'calvyx: menus File|ROM|'*'|Help'*'qrc:/help/Calvyx/index.html'* ]] || fail "not English for Taiwan: '$got'"
echo "PASS"
