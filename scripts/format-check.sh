#!/usr/bin/env bash
# Fails when a C++ file changed since the recorded base commit is not as clang-format leaves it.
#
# "Changed" means: touched by any commit after the base (.ci/format-base, or LUMORA_FORMAT_BASE),
# plus uncommitted and untracked files. A CI checkout is a clean clone, so its changes are the
# commits since the base. The whole of each changed file is checked, not only its changed lines.
# Move the base forward after a tree-wide reformat. The clone needs the base in its history
# (no shallow clone); without it the check fails rather than passing unchecked.
set -euo pipefail
cd "$(dirname "$0")/.."
base=${LUMORA_FORMAT_BASE:-$(tr -d '[:space:]' <.ci/format-base)}
if ! git cat-file -e "${base}^{commit}" 2>/dev/null; then
  echo "format: base commit $base is not in this clone's history (fetch the full history)" >&2
  exit 1
fi
command -v clang-format >/dev/null || {
  echo "format: clang-format not found (scripts/setup-deps.sh installs it)" >&2
  exit 1
}
mapfile -t files < <({
  git diff --name-only --diff-filter=d "$base" HEAD
  git diff --name-only --diff-filter=d HEAD
  git ls-files --others --exclude-standard
} | grep -E '\.(c|cc|cpp|h|hpp)$' | sort -u | while read -r f; do [ -f "$f" ] && echo "$f"; done)
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no C++ files changed since $base"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "format: run clang-format -i on the files above" >&2
  exit 1
fi
echo "format: ${#files[@]} changed files are formatted"
