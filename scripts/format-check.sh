#!/usr/bin/env bash
# Checks every C++ source of the repository against the root .clang-format and lists the files that differ.
# Resource scripts, registry scripts and IDL files keep their own syntax and are not checked.
# Usage: scripts/format-check.sh [--fix]   (--fix formats the files in place instead)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! command -v clang-format >/dev/null; then
  as_root=""
  [ "$(id -u)" -eq 0 ] || as_root="sudo"
  DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq clang-format >/dev/null
fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.c' '*.hpp')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
mapfile -t differ < <(printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -I{} sh -c 'clang-format --dry-run -Werror "$1" >/dev/null 2>&1 || echo "$1"' _ {} | sort)
if [ ${#differ[@]} -gt 0 ]; then
  echo "format-check: ${#differ[@]} of ${#files[@]} files differ from .clang-format (scripts/format-check.sh --fix):"
  printf '  %s\n' "${differ[@]}"
  exit 1
fi
echo "format-check: ${#files[@]} files formatted"
