# Shell helpers the benchmarks share. Source it after setting root (the source tree).
# A benchmark records each figure that a target is judged by with `figure KEY VALUE...` in the
# file BENCH_FIGURES names (bench/all.sh sets it; run alone, a benchmark records nothing), and
# bench/targets.py reads them back.

# ratio A B: A / B with two decimals.
ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }

now() { date +%s.%N; }
# elapsed T0 T1: the seconds from T0 to T1, two decimals.
elapsed() { python3 -c "print('%.2f' % ($2 - $1))"; }

# figure KEY VALUE...: records one figure for bench/targets.py.
figure() {
  [ -z "${BENCH_FIGURES:-}" ] || echo "$*" >> "$BENCH_FIGURES"
}

# bench_widths: the widths whose installs this machine can time, one a line: i686 (the shipped
# build) where 32-bit Wine runs, x86_64 where 64-bit Wine does. Says on standard error why a
# width is left out.
bench_widths() {
  local problem
  if problem=$(E2E_WINE32='' bash -c ". '$root/tests/wine/suite.sh' && wine32_unusable"); then
    echo "bench: no i686 figures: $problem" >&2
  else
    echo i686
  fi
  if [ -x /usr/lib/wine/wine64 ]; then
    echo x86_64
  else
    echo "bench: no x86_64 figures: 64-bit Wine (/usr/lib/wine/wine64) is not installed" >&2
  fi
}

# peer_stub WIDTH: the peer's stub that matches our build of that width.
peer_stub() {
  case $1 in
    i686) echo x86-ansi ;;
    x86_64) echo amd64-unicode ;;
  esac
}

# memory_folder NAME: a new folder in memory (/dev/shm) where the machine has 2 GB free there,
# else nothing. Installs into a prefix on disk paid the host's writeback of each install's
# hundreds of megabytes, which neither installer controls and which varied by seconds from round
# to round.
memory_folder() {
  [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt $((2 * 1024 * 1024)) ] &&
    mktemp -d "/dev/shm/$1.XXXXXX"
}
