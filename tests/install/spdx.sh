#!/usr/bin/env bash
# Every C and C++ source carries the licence identifier in its first lines.
# Usage: spdx.sh SOURCE_DIR
set -euo pipefail
cd "$1"
missing=$(git ls-files 'src/*' 'app/*' 'tests/*' 'bench/*' 'fuzz/*' |
          grep -E '\.(cpp|h|c)$' |
          while read -r f; do head -n 5 "$f" | grep -q 'SPDX-License-Identifier: MIT' || echo "$f"; done)
[ -z "$missing" ] || { echo "no SPDX-License-Identifier: MIT in the first 5 lines of:"; echo "$missing"; exit 1; }
echo "ok"
