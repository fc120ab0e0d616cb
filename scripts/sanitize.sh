#!/usr/bin/env bash
# Builds the tests with sanitizers and runs them.
#   bash scripts/sanitize.sh          AddressSanitizer + UndefinedBehaviorSanitizer, every test
#   bash scripts/sanitize.sh tsan     ThreadSanitizer, the scanner, logger and folder-walk tests
# SANITIZE_BUILD_DIR overrides the build folder, TESTS the ctest -R pattern, JOBS the parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
kind=${1:-asan}
jobs=${JOBS:-$(nproc)}

case "$kind" in
  asan)
    # Without the virtual-call type check: it probes memory through a pipe, and
    # a test that uses up every file descriptor on purpose makes it report
    # std::thread's own state as the wrong type.
    sanitize='address,undefined;-fno-sanitize=vptr'
    build=${SANITIZE_BUILD_DIR:-build-asan}
    tests=${TESTS:-.}
    ;;
  tsan)
    sanitize=thread
    build=${SANITIZE_BUILD_DIR:-build-tsan}
    tests=${TESTS:-'^(tst_scanner.*|tst_logger|tst_directory_size)$'}
    ;;
  *)
    echo "usage: $0 [asan|tsan]" >&2
    exit 2
    ;;
esac

bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLMERE_SANITIZE="$sanitize" -DQUILLMERE_BUILD_BENCH=OFF
if [ "$kind" = tsan ]; then
  # Only what the chosen tests need.
  targets=$(cmake --build "$build" --target help | sed -n 's/^\(tst_[a-z0-9_]*\): .*/\1/p' | grep -E "$tests" || true)
  # shellcheck disable=SC2086
  cmake --build "$build" -j "$jobs" --target $targets
else
  cmake --build "$build" -j "$jobs"
fi

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen

# Leak checking stops the world with ptrace; where a test re-run as another
# user (setpriv) may not do that, DETECT_LEAKS=0 turns it off.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=${DETECT_LEAKS:-1}:strict_init_order=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Debian's Qt is not instrumented: its own calls into the sanitizer's
# interceptors can't be judged, so they are not. QProcess starts a tool with
# clone(CLONE_VM|CLONE_VFORK), which the thread sanitizer does not model; the
# reports left after a tool has run on a worker thread come from that.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:ignore_noninstrumented_modules=1:suppressions=$here/scripts/tsan.supp"

run=(ctest --test-dir "$build" --output-on-failure -j "$jobs" -R "$tests" --timeout 900)
if [ "$kind" = tsan ]; then
  # ThreadSanitizer needs the usual memory layout; high address randomisation breaks it.
  setarch "$(uname -m)" -R "${run[@]}"
else
  "${run[@]}"
fi
