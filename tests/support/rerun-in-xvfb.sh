# Sourced by the scripts that need a display of their own (tests/run, the
# fault and soak scripts): runs the script again under xvfb-run and exits with
# the script's own status. xvfb-run's own status is not used when the script
# ran: on a busy machine xvfb-run can fail to remove its temporary folder after
# the script has ended, and then exits 5 whatever the script's result.
#
#   rerun_in_xvfb SERVER_ARGS SCRIPT [ARG...]
rerun_in_xvfb() {
  local server_args=$1 status_file status runner=0
  shift
  status_file=$(mktemp)
  xvfb-run -a -s "$server_args" sh -c '"$@"; echo $? > "$0"' "$status_file" "$@" || runner=$?
  status=$(cat "$status_file")
  rm -f "$status_file"
  exit "${status:-$runner}"
}
