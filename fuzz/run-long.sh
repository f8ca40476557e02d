#!/usr/bin/env bash
# A longer fuzzing session: every harness for SECONDS_EACH seconds (default 600);
# what it finds lands in build-fuzz/artefacts/ with its log.
#   fuzz/run-long.sh
exec "$(dirname "$0")/run.sh" -max_total_time="${SECONDS_EACH:-600}"
