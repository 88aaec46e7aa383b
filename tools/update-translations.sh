#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Refreshes the windows' translation files (windows/translations/calvyx_LANG.ts) from the
# sources: every text the windows mark for translation (tr(), QT_TR_NOOP,
# QT_TRANSLATE_NOOP) in windows/, mainwindow/, app/ and util/StringTable.h. New texts
# come in as unfinished entries to translate (Qt Linguist: linguist-qt6, or any editor),
# texts gone from the sources are dropped. Run it after adding or changing a window text;
# the test Translations.EveryFileTranslatesEveryTextOfTheSources (tests_windows) fails
# until every entry is translated.
#
#   tools/update-translations.sh [FOLDER]    FOLDER: where the .ts files are updated
#                                            (default windows/translations)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "${1:-$top/windows/translations}" && pwd)
lupdate=${LUPDATE:-}
if [ -z "$lupdate" ]; then
  for candidate in "$(qtpaths6 --query QT_HOST_LIBEXECS 2>/dev/null)/lupdate" \
                   "$(qtpaths6 --query QT_HOST_BINS 2>/dev/null)/lupdate" /usr/lib/qt6/bin/lupdate; do
    if [ -x "$candidate" ]; then lupdate=$candidate; break; fi
  done
fi
[ -n "$lupdate" ] || { echo "update-translations: lupdate not found (install qt6-l10n-tools)" >&2; exit 1; }
languages=$(sed -n 's/^set(CALVYX_LANGUAGES \(.*\))$/\1/p' "$top/CMakeLists.txt")
[ -n "$languages" ] || { echo "update-translations: no CALVYX_LANGUAGES in CMakeLists.txt" >&2; exit 1; }
ts=()
for lang in $languages; do ts+=("$folder/calvyx_$lang.ts"); done
cd "$top"
# No source locations in the files: a moved line changes nothing, so branches merge.
"$lupdate" -silent -no-obsolete -locations none -extensions cpp,h -I "$top" \
  windows mainwindow app util/StringTable.h -ts "${ts[@]}"
