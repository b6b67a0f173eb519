#!/usr/bin/env bash
# Pictures of every wizard page: the wizard test program shows each page with sample contents
# (WizardScreens), and this script photographs the screen and cuts out the dialog. The pictures
# land in the build tree; with WIZARD_SCREENS_UPDATE=1 they also replace docs/screens/setup_*.png.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin wizard_pages "$E2E_BUILD/tests"
trap suite_end EXIT

work="$E2E_BUILD/tests/e2e-wizard_pages"
rm -rf "$work"; mkdir -p "$work/shots"
WIZARD_SCREENS_DIR=$(winpath "$work") "$WINE" "$E2E_BUILD/tests/wizard_tests.exe" \
  --gtest_filter='WizardScreens.*' >"$work/tests.log" 2>&1 &
pid=$!

pages="setup_welcome setup_license setup_directory setup_start_menu setup_ready setup_complete setup_previous"
for name in $pages; do
  for _ in $(seq 1 300); do [ -s "$work/$name.ready" ] || [ ! -d "/proc/$pid" ] && break; sleep 0.1; done
  if [ ! -s "$work/$name.ready" ]; then check "$name is shown" false; continue; fi
  sleep 0.5  # let the page finish painting
  read -r x y w h px py < <(tr -d '\r' < "$work/$name.ready")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/shots/$name.png"
  touch "$work/$name.done"
  size=$(identify -format '%wx%h' "$work/shots/$name.png" 2>/dev/null)
  check_eq "$name picture size" "${w}x${h}" "$size"
  # The side picture's sky is plain dark blue near its top left corner.
  colour=$(convert "$work/shots/$name.png" -format "%[pixel:p{$((px + 2)),$((py + 2))}]" info: 2>/dev/null)
  check "$name shows the side picture (found $colour)" test "$colour" = "srgb(0,0,128)" -o "$colour" = "navy"
done
wait $pid; check_eq "page program ends cleanly" 0 $?
grep -q "PASSED" "$work/tests.log"; check "page program passed" test $? = 0

if [ "${WIZARD_SCREENS_UPDATE:-}" = 1 ]; then
  mkdir -p "$SRC/docs/screens"
  cp "$work"/shots/setup_*.png "$SRC/docs/screens/"
fi
e2e_summary
