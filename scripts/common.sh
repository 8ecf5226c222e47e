# Shared by the build and test scripts: paths, the quiet-step helper and the configure step.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${GRIBB_BUILD_DIR:-$ROOT/build}"
LOG_DIR="$BUILD_DIR/logs"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$ROOT")}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"

say()  { printf '[gribb] %s\n' "$*"; }

# step NAME COMMAND...: runs the command with its output in a log; shows the log's end on failure.
step() {
  local name="$1"; shift
  mkdir -p "$LOG_DIR"
  local log="$LOG_DIR/$name.log"
  if ! "$@" >"$log" 2>&1; then
    printf '[gribb] FAILED: %s (log: %s)\n' "$name" "$log" >&2
    tail -n 60 "$log" >&2
    exit 1
  fi
}

# configure DIR [extra cmake args...]: (re)configures only when the folder is new.
configure() {
  local dir="$1"; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    say "configuring $(basename "$dir")"
    step "configure-$(basename "$dir")" cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DGRIBB_JUCE_DIR="$JUCE_DIR" "$@"
  fi
}

# build DIR TARGETS...: builds and says so only when something was out of date.
build() {
  local dir="$1"; shift
  local name="build-$(basename "$dir")"
  step "$name" cmake --build "$dir" -j"${GRIBB_JOBS:-2}" --target "$@"
  grep -q 'ninja: no work to do' "$LOG_DIR/$name.log" || say "built $* in $(basename "$dir")"
}

bootstrap() {
  JUCE_DIR="$("$ROOT/scripts/bootstrap.sh" | tail -n 1)"
  export JUCE_DIR
}
