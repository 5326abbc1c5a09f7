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

first_error() { grep -v '^Command exited' "$1/errors" | head -1; }
