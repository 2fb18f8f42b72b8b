#!/usr/bin/env bash
# Fails when a translation is unfinished or holds entries the sources no
# longer have, or when the templates' texts as lupdate sees them
# (src/app/template_texts.cpp) are behind res/templates and res/strings.json.
# After changing texts: tools/extract_texts.py res src/app/template_texts.cpp,
# then cmake --build build --target update_translations, and translate.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
status=0
python3 "$root/tools/extract_texts.py" "$root/res" "$root/src/app/template_texts.cpp" --check || status=1
for ts in "$root"/res/translations/*.ts; do
  bad=$(grep -cE 'type="(unfinished|obsolete|vanished)"' "$ts" || true)
  empty=$(grep -cE '<translation( [^>]*)?/>|<translation></translation>' "$ts" || true)
  if [ "$bad" != 0 ] || [ "$empty" != 0 ]; then
    echo "check_translations: $(basename "$ts"): $bad unfinished or obsolete, $empty empty entries" >&2
    status=1
  fi
done
exit $status
