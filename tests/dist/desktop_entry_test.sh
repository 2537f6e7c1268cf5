#!/bin/sh
# The desktop entry passes desktop-file-validate (desktop-file-utils), hints
# included. Exits 77 (skipped) where the validator is missing.
# Usage: desktop_entry_test.sh DESKTOP_FILE
set -eu
if ! command -v desktop-file-validate >/dev/null 2>&1; then
  echo "skipped: desktop-file-validate is missing"
  exit 77
fi
report=$(desktop-file-validate "$1" 2>&1) || status=$?
if [ -n "$report" ] || [ "${status:-0}" -ne 0 ]; then
  echo "$report"
  exit 1
fi
