# Sourced by the scripts: a Wine prefix for this build with the Japanese locale and fonts, and an X display.
# Expects BUILD_DIR. Provides wine_start, wine_stop and WINE64 (an array: the command that runs wine64).

# Wine takes the Japanese locale from LC_ALL even where the Linux locale is not generated; setting it only for
# Wine's command keeps bash from complaining about the missing Linux locale.
WINE64=(env LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64)
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts

wine_prepare_prefix() {
  local stamp="$WINEPREFIX/.corvanto-ready-2"  # bump when the set-up below changes
  [ -f "$stamp" ] && return 0
  echo "Preparing the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 180 "${WINE64[@]}" wineboot -i </dev/null >/dev/null 2>&1 || true
  timeout 60 wineserver -w || true
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  cp -f /usr/share/fonts/opentype/ipafont-gothic/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine_reg_add 'HKCU\Software\Wine\Fonts\Replacements' 'MS UI Gothic' IPAGothic
  wine_reg_add 'HKCU\Software\Wine\Fonts\Replacements' 'ＭＳ Ｐゴシック' IPAGothic
  wine_reg_add 'HKCU\Software\Wine\Fonts\Replacements' 'ＭＳ ゴシック' IPAGothic
  # Every window of every program in this prefix opens in one virtual desktop: Xvfb has no window manager.
  wine_reg_add 'HKCU\Software\Wine\Explorer' Desktop Default
  wine_reg_add 'HKCU\Software\Wine\Explorer\Desktops' Default 1024x768
  timeout 60 wineserver -w || true
  touch "$stamp"
}

wine_reg_add() {
  timeout 60 "${WINE64[@]}" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f </dev/null >/dev/null 2>&1 ||
    { echo "wine reg add $1 $2 failed" >&2; return 1; }
}

XVFB_PID=""
wine_start() {
  wine_prepare_prefix
  if [ -z "${DISPLAY:-}" ] || [ "${CORVANTO_OWN_XVFB:-1}" = 1 ]; then
    local n
    for n in $(seq 90 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  # A persistent server and an early boot, detached from our pipes: otherwise CTest waits on the pipes that
  # Wine's background services inherit.
  wineserver -p </dev/null >/dev/null 2>&1
  timeout 120 "${WINE64[@]}" wineboot </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=""
}
