#!/bin/sh
# Runs a Wine program of a suite. A wineserver that the program itself would start keeps the
# program's standard output and error open for as long as it runs, so that a pipe or $(...)
# reading the program's output would wait for the server too: the server is started first, when
# none runs, with its output going nowhere.
"$ZINDLE_WINESERVER" </dev/null >/dev/null 2>&1
exec "$ZINDLE_WINE_BINARY" "$@"
