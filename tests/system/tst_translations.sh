#!/usr/bin/env bash
# Every text the code says through the translation tools has its German translation: the messages are
# read afresh from the sources into a copy of the .ts file, so a new text without one fails here.
set -euo pipefail
LUPDATE=$1
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cp "$SOURCE/res/translations/orvelle_de.ts" "$WORK/de.ts"
"$LUPDATE" "$SOURCE"/app/*.cpp "$SOURCE"/clock/*.cpp "$SOURCE"/settings/*.cpp "$SOURCE"/capture/*.cpp \
  "$SOURCE"/session/*.cpp "$SOURCE"/score/*.cpp "$SOURCE"/cli/*.cpp "$SOURCE"/live/*.cpp \
  -tr-function-alias translate+=Tr -locations none -no-obsolete -silent -ts "$WORK/de.ts"
messages=$(grep -c '<source>' "$WORK/de.ts")
[ "$messages" -gt 50 ] || fail "only $messages texts found in the sources"
untranslated=$(grep -B2 -E 'type="unfinished"|<translation></translation>' "$WORK/de.ts" | grep '<source>' || true)
[ -z "$untranslated" ] || fail "texts without a German translation:
$untranslated"
echo "PASS: $messages texts, all translated"
