# Sourced by the benchmark scripts: one way to time a command as a whole
# process with GNU time.
#   timed DIR COMMAND...  runs COMMAND (output discarded) and sets seconds,
#                         user, system, cpu (user + system) and kib (peak);
#                         on failure returns 1 and leaves the command's
#                         first error line for first_error DIR.
timed() {
  local dir=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$dir/time" "$@" > /dev/null 2> "$dir/errors" || return 1
  read -r seconds user system kib < "$dir/time"
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
}

# timed_median RUNS DIR COMMAND...  runs COMMAND RUNS times and keeps the
#                         figures of the run with the median elapsed time,
#                         so that one run slowed by the shared machine does
#                         not decide a ratio.
timed_median() {
  local runs=$1 dir=$2
  shift 2
  : > "$dir/runs"
  for ((run = 0; run < runs; ++run)); do
    timed "$dir" "$@" || return 1
    echo "$seconds $user $system $kib" >> "$dir/runs"
  done
  read -r seconds user system kib < <(sort -n "$dir/runs" | sed -n "$(((runs + 1) / 2))p")
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
}

first_error() { grep -v '^Command exited' "$1/errors" | head -1; }
