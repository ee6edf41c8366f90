# miravel-idle with the real saver on a test desktop (after desktops_lib.sh,
# idle_lib.sh and saverhost_lib.sh, with the desktop and the application
# that has the focus up). The desktop's script names how it lists windows
# and how it sends input:
#   LIST  a window listing (gnome_windows, kwin_windows)
#   NUDGE one input that is no key (a small pointer move)
#   KEY   one key press (evdev code 57)
# and EXPECTED_SOURCE, the idle source miravel-idle must say it watches;
# EARLIEST, how soon after the last input a start may come (seconds).

# The savers miravel-idle started are not our children: they are found by
# their path, which is this test's own folder, and ended by pid at exit.
_desktop_idle_cleanup() {
  local pid
  for pid in $(pgrep -f "^$APP/Miravel" 2>/dev/null); do kill -TERM "$pid" 2>/dev/null; done
  _desktop_cleanup
}
trap _desktop_idle_cleanup EXIT

# launcher_pid: the saver run miravel-idle started, while it runs.
launcher_pid() { pgrep -f "^$APP/Miravel.scr /s" | head -n1; }

# Times on the clock a process's start is kept in: seconds since boot, to
# 10 ms (the epoch's boot time is known to the second only).
# since_boot: now. started_at PID: when PID started.
since_boot() { awk '{print $1}' /proc/uptime; }
started_at() {
  local ticks
  ticks=$(awk '{print $22}' "/proc/$1/stat" 2>/dev/null) || return 1
  awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f\n", t / hz }'
}

# gone_within PID SECONDS: a process that is not our child has ended.
gone_within() {
  local end=$(($(date +%s%N) + $2 * 1000000000))
  while running "$1"; do
    [ "$(date +%s%N)" -ge "$end" ] && { echo "still running after $2 s"; return 1; }
    sleep 0.05
  done
}

# idle_start_and_rearm: the whole case.
idle_start_and_rearm() {
  use_real_renderer
  WAV=$(tone_file "tune.wav" 523 0.3)
  write_settings 2 0 "$WAV"
  local audio="$WORK/idle-audio.raw"
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" run_idle --after 2s --saver "$APP/Miravel.scr"
  check "miravel-idle watches $EXPECTED_SOURCE" said "watching $EXPECTED_SOURCE" 5
  sleep 0.3
  local last
  last=$(since_boot)
  "$NUDGE"
  check "the curtains come up on idle" eval 'WAIT_SECONDS=8 wait_kelvara 2 "$LIST"'
  local lpid
  lpid=$(launcher_pid)
  check "  started as '$APP/Miravel.scr /s' ($lpid)" test -n "$lpid"
  local t1
  t1=$(started_at "$lpid")
  check "  no sooner than 2 s after the last input (input $last, start $t1)" \
    between "$t1" "$(plus "$last" "$EARLIEST")" "$(plus "$last" 4)"
  local views
  views=$(placed_views)
  echo "$views"
  check "  one fullscreen view per monitor" \
    test "$(grep -c '^KelvaraVC|miravel|true|[01]|' <<<"$views")" = 2 -a \
    "$(cut -d'|' -f4 <<<"$views" | sort -u | wc -l)" = 2
  sleep 1.5
  check "  the WAV is heard" test -n "$(heard "$audio" 523)"
  check "  a view has the keyboard" view_has_keyboard "$LIST"

  local before back
  before=$(recorder_keys)
  back=$(since_boot)
  "$KEY"
  check "a key ends the run" gone_within "$lpid" 2
  check "  the key did not reach the application that had the focus" \
    test "$(recorder_keys)" = "$before"
  check "  no view is left" wait_kelvara 0 "$LIST"

  check "after 2 s more of idle the curtains come up again" eval 'WAIT_SECONDS=8 wait_kelvara 2 "$LIST"'
  local again t2
  again=$(launcher_pid)
  t2=$(started_at "$again")
  check "  not sooner than 2 s after the key (key $back, start $t2)" \
    at_least "$t2" "$(plus "$back" "$EARLIEST")"
  check "  a view has the keyboard" view_has_keyboard "$LIST"
  before=$(recorder_keys)
  "$KEY"
  check "  a key ends it again" gone_within "$again" 2
  check "  and reaches no application" test "$(recorder_keys)" = "$before"

  kill -TERM "$IPID"
  check "SIGTERM ends miravel-idle with 0" ends_with_zero "$IPID" 5
}
