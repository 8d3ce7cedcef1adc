# Shared by the shell tests: expect DESCRIPTION COMMAND... counts a check that
# passes when the command succeeds; finish prints the tally and fails when
# any check failed.
passed=0
failed=0
expect() {
  local what="$1"
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
# require_tools TOOL... skips the script (status 77) unless every tool is installed.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/install-deps.sh)"
      exit 77
    fi
  done
}
