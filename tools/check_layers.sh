#!/usr/bin/env bash
# Checks that no folder of setup/ includes a folder that stands above it:
#   sdk, res  <  util  <  script  <  wizard  <  install, uninstall, app
# that the SDK headers include nothing but each other and system headers, that inside a folder no
# files include each other in a circle (a header and its .cpp counted as one unit: a low layer of
# install/ that reaches up into a step, which reaches down to it, is such a circle), and, given a build
# tree, that no folder's code calls a function or uses an object that a folder above it
# implements (read from the object files with nm).
# usage: check_layers.sh [SOURCE_ROOT [BUILD_TREE]]   (exit 1 and one line per offence)
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
# util/ is left out: its action log and its message texts use each other.
python3 - "$root/setup" <<'PY' || bad=1
import os, re, sys
found = False
for folder in sorted(os.listdir(sys.argv[1])):
    path = os.path.join(sys.argv[1], folder)
    if folder == 'util' or not os.path.isdir(path):
        continue
    uses = {}
    for name in os.listdir(path):
        unit, extension = os.path.splitext(name)
        if extension not in ('.h', '.cpp'):
            continue
        with open(os.path.join(path, name), errors='replace') as source:
            for line in source:
                used = re.match(r'#include "%s/(\w+)\.h"' % re.escape(folder), line)
                if used and used.group(1) != unit:
                    uses.setdefault(unit, set()).add(used.group(1))
    # A unit that reaches itself again through the units it uses: the first such path is printed.
    def circle(start, unit, seen):
        for next_unit in sorted(uses.get(unit, ())):
            if next_unit == start:
                return seen + [start]
            if next_unit not in seen:
                found_path = circle(start, next_unit, seen + [next_unit])
                if found_path:
                    return found_path
        return None
    reported = set()
    for unit in sorted(uses):
        path_found = circle(unit, unit, [unit])
        if path_found and not reported & set(path_found):
            reported |= set(path_found)
            print('setup/%s/: a circle of includes: %s' % (folder, ' -> '.join(path_found)))
            found = True
sys.exit(1 if found else 0)
PY
objects=${2:+$2/setup/CMakeFiles/setup_core.dir}
if [ -n "$objects" ]; then
  if [ ! -d "$objects" ]; then
    echo "no objects in $objects: build the tree first"; bad=1
  elif ! python3 - "$objects" "$root" <<'PY'
import os, re, subprocess, sys
rank = {'sdk': 0, 'res': 0, 'util': 1, 'script': 2, 'wizard': 3, 'install': 4, 'uninstall': 4, 'app': 4}
defined, used = {}, []
for root, _, names in os.walk(sys.argv[1]):
    folder = os.path.relpath(root, sys.argv[1]).split(os.sep)[0]
    # An object whose source has moved away is left over from an earlier build: passed over.
    sources = os.path.join(sys.argv[2], 'setup', os.path.relpath(root, sys.argv[1]))
    for name in (n for n in names if n.endswith('.obj') and folder in rank and os.path.exists(os.path.join(sources, n[:-4]))):
        out = subprocess.run(['x86_64-w64-mingw32-nm', '-C', os.path.join(root, name)], capture_output=True,
                             text=True).stdout
        for line in out.splitlines():
            undefined, implemented = re.match(r'^\s+U (.+)$', line), re.match(r'^[0-9a-f]+ [TDBR] (.+)$', line)
            if undefined:
                used.append((folder, name, undefined.group(1)))
            elif implemented:
                defined.setdefault(implemented.group(1), folder)
bad = sorted({(f, n, defined[s], s) for f, n, s in used if s in defined and rank[defined[s]] > rank[f]})
for folder, name, above, symbol in bad:
    print('setup/%s/%s uses %s, which setup/%s/ implements above it' % (folder, name[:-4], symbol, above))
sys.exit(1 if bad else 0)
PY
  then bad=1; fi
fi
[ $bad = 0 ] && echo "setup/ layers: clean${objects:+ (includes and implementations)}"
exit $bad
