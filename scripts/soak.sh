#!/usr/bin/env bash
# A long run of the random-action driver under Wine:
#   SOAK_ACTIONS=5000 SOAK_SEED=42 make soak
# Without SOAK_SEED a seed is drawn and printed; the same seed replays the run.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-packages.sh || exit 1
. scripts/arch.sh
tree=win64
can_run_32bit && tree=win32
actions=${SOAK_ACTIONS:-5000}
seed=${SOAK_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
scripts/build.sh "$tree" || exit 1
echo "soak: $tree build, $actions actions, seed $seed (replay: SOAK_SEED=$seed SOAK_ACTIONS=$actions make soak)"
# A prefix and trees of its own, so make test can run meanwhile (BRENNIK_RUN
# names another).
BRENNIK_RUN=${BRENNIK_RUN:-soak} exec scripts/wine-test.sh "$tree" soak_driver "$actions" "$seed"
