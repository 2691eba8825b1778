#!/usr/bin/env bash
# The program as a user gets it: installed into a temporary prefix, its
# desktop entry and AppStream data validated, the Debian package built and its
# contents listed, and the program started from the desktop entry's Exec line
# on a 2x scaled screen, where its title is captured.
#
#   installed_program.sh BUILD_DIR DEMO_DIR WORK_DIR
#
# Leaves WORK_DIR/title-x2.png (the title form) and WORK_DIR/cab-x2.png (the
# driving form of a run, started) in device pixels for the caller to look at;
# exit status 0 when every check holds.
set -euo pipefail
build=$1 demo=$2 work=$3
app=org.cabworks.cabsim
prefix=$work/prefix
fail() { echo "installed_program: $*" >&2; exit 1; }

# --- the installed tree ---------------------------------------------------------
CABSIM_INSTALL_DEMO=$demo cmake --install "$build" --prefix "$prefix" > "$work/install.log"
for f in bin/cabsim bin/cabsim-tool; do [ -x "$prefix/$f" ] || fail "no $f"; done
for f in share/cabsim/demo/cabworks.dat share/cabsim/demo/train_tz100.dat \
         share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
         share/man/man6/cabsim.6 share/man/man1/cabsim-tool.1 \
         lib/udev/rules.d/70-cabsim-controllers.rules; do
  [ -f "$prefix/$f" ] || fail "no $f"
done
for n in 16 22 24 32 48 64 128 256 512; do
  [ -s "$prefix/share/icons/hicolor/${n}x${n}/apps/$app.png" ] || fail "no ${n}x${n} icon"
done
[ ! -e "$prefix/share/cabsim/demo/.generated" ] || fail "the demo's build stamp was installed"
grep -q 'TAG+="uaccess"' "$prefix/lib/udev/rules.d/70-cabsim-controllers.rules" \
  || fail "the udev rule gives no uaccess"
desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" > "$work/appstream.log" \
  || { cat "$work/appstream.log" >&2; fail "metainfo invalid"; }
grep -q '^Categories=Game;Simulation;$' "$prefix/share/applications/$app.desktop" \
  || fail "not in Game;Simulation;"

# --- the program started as the desktop starts it --------------------------------
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app.desktop")
home=$work/home
mkdir -p "$home"
run_env=(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" PATH="$prefix/bin:$PATH"
         ASAN_OPTIONS=detect_leaks=0 ALSOFT_DRIVERS=null)
help=$("${run_env[@]}" QT_QPA_PLATFORM=offscreen sh -c "$exec_line --help")
grep -qx "route folder: $prefix/share/cabsim/demo" <<< "$help" \
  || { echo "$help" >&2; fail "the installed program does not find its demo line"; }
grep -qx "settings: $home/.config/Cabworks/cabsim" <<< "$help" \
  || { echo "$help" >&2; fail "the settings are not in the program's own folder"; }
"$prefix/bin/cabsim-tool" check --data "$prefix/share/cabsim/demo" --route line_up_827M.dat \
  || fail "the installed demo line does not read"

# --- the Debian package ------------------------------------------------------------
CABSIM_INSTALL_DEMO=$demo cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" \
  > "$work/cpack.log" 2>&1 || { tail -n 30 "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/package/cabsim_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents.txt"
for f in ./usr/bin/cabsim ./usr/bin/cabsim-tool ./usr/share/cabsim/demo/cabworks.dat \
         ./usr/share/applications/$app.desktop ./usr/share/metainfo/$app.metainfo.xml \
         ./usr/share/icons/hicolor/48x48/apps/$app.png ./usr/share/man/man6/cabsim.6 \
         ./usr/share/man/man1/cabsim-tool.1 ./usr/lib/udev/rules.d/70-cabsim-controllers.rules; do
  grep -qx "$f" "$work/contents.txt" || fail "the package lacks $f"
done
! grep -q '^\./usr/local\|/build/\|\.generated$' "$work/contents.txt" || fail "stray files in the package"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libavcodec libopenal1 libsndfile1 fonts-noto-cjk; do
  grep -q "$d" <<< "$depends" || fail "the package does not depend on $d: $depends"
done

# --- the title on a 2x screen ------------------------------------------------------
command -v Xvfb xdotool ffmpeg > /dev/null || { echo "no Xvfb: the screenshot is skipped"; exit 0; }
Xvfb -displayfd 3 -noreset -screen 0 2560x1600x24 -nolisten tcp 3> "$work/display" \
  2> "$work/xvfb.log" &
xpid=$!
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; kill $xpid 2>/dev/null || true' EXIT
for _ in $(seq 120); do [ -s "$work/display" ] && break; sleep 0.25; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
"${run_env[@]}" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 sh -c "exec $exec_line" \
  > "$work/cabsim.log" 2>&1 &
pid=$!
# The opening film (640 x 360, 1280 x 720 on the screen) is clicked away;
# the title (800 x 600) then fills 1600 x 1200.
w=
for i in $(seq 240); do
  for c in $(xdotool search --onlyvisible --class cabsim 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$c" 2>/dev/null || echo WIDTH=0)"
    if [ "$WIDTH" = 1600 ]; then w=$c; break 2; fi
    if [ "$WIDTH" = 1280 ] && [ $((i % 8)) = 0 ]; then
      xdotool mousemove --window "$c" 640 360 click 1 || true
    fi
  done
  kill -0 $pid 2>/dev/null || { cat "$work/cabsim.log" >&2; fail "cabsim ended"; }
  sleep 0.25
done
[ -n "$w" ] || { cat "$work/cabsim.log" >&2; fail "no title at 1600 x 1200"; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$w")"
ffmpeg -v error -y -f x11grab -video_size "${WIDTH}x${HEIGHT}" -i "$DISPLAY+$X,$Y" \
  -frames:v 1 "$work/title-x2.png"
kill $pid; wait $pid 2>/dev/null || true

# --- a run's cab view on a 2x screen -------------------------------------------------
"${run_env[@]}" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 sh -c "exec $exec_line --route line_up_827M.dat" \
  > "$work/cabsim-run.log" 2>&1 &
pid=$!
w=
for _ in $(seq 240); do
  for c in $(xdotool search --onlyvisible --class cabsim 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$c" 2>/dev/null || echo HEIGHT=0)"
    if [ "$HEIGHT" -ge 1408 ]; then w=$c; break 2; fi
  done
  kill -0 $pid 2>/dev/null || { cat "$work/cabsim-run.log" >&2; fail "cabsim ended"; }
  sleep 0.25
done
[ -n "$w" ] || { cat "$work/cabsim-run.log" >&2; fail "no driving form at scale 2"; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$w")"
xdotool mousemove --window "$w" 600 400 click 1  # the first click starts the run
sleep 2
ffmpeg -v error -y -f x11grab -video_size "${WIDTH}x${HEIGHT}" -i "$DISPLAY+$X,$Y" \
  -frames:v 1 "$work/cab-x2.png"
