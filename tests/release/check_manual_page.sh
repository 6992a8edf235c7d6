#!/usr/bin/env bash
# The manual page renders, and groff has no warning about it.
set -euo pipefail
page="$1"
warnings=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "groff warnings:"; echo "$warnings"; exit 1
fi
man -l "$page" 2>&1 | grep -q 'unesi ugao strme ravni' || { echo "rendered page lacks the prompt"; exit 1; }
echo "manual page renders without warnings"
