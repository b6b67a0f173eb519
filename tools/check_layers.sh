#!/usr/bin/env bash
# Checks that no folder of setup/ includes a folder that stands above it:
#   sdk, res  <  util  <  script  <  wizard  <  install, uninstall, app
# and that the SDK headers include nothing but each other and system headers.
# usage: check_layers.sh [SOURCE_ROOT]   (exit 1 and one line per offending include)
set -u
root=${1:-$(dirname "$0")/..}
rank() {
  case $1 in
    sdk|res) echo 0 ;; util) echo 1 ;; script) echo 2 ;; wizard) echo 3 ;;
    install|uninstall|app) echo 4 ;; *) echo 9 ;;
  esac
}
bad=0
while IFS=: read -r file line text; do
  from=$(basename "$(dirname "$file")")
  target=$(sed -n 's/^#include "\([a-z_]*\)\/.*/\1/p' <<<"$text")
  if [ "$from" = sdk ]; then
    if [ -n "$target" ]; then echo "$file:$line: the SDK includes $target/"; bad=1; fi
    continue
  fi
  [ -n "$target" ] || continue
  if [ "$(rank "$target")" -gt "$(rank "$from")" ]; then
    echo "$file:$line: $from/ includes $target/, which stands above it"; bad=1
  fi
done < <(grep -rn '^#include "' "$root/setup" --include=*.cpp --include=*.h)
[ $bad = 0 ] && echo "setup/ layers: clean"
exit $bad
