# Sourced by run.sh and test.sh: can this machine execute 32-bit x86 code?
# On some of our machines the processor's 32-bit mode is missing, and every
# 32-bit program, 32-bit Wine among them, ends with "Exec format error".
# VELMORA_RUNS_32BIT=yes or =no forces the answer, to try either path anywhere.
# Sets VELMORA_32BIT (yes/no) and VELMORA_32BIT_WHY (one line) once per run.
velmora_probe_32bit() {
  [ -n "${VELMORA_32BIT:-}" ] && return 0
  local out
  case ${VELMORA_RUNS_32BIT:-} in
    yes) VELMORA_32BIT=yes VELMORA_32BIT_WHY="forced by VELMORA_RUNS_32BIT=yes" ;;
    no) VELMORA_32BIT=no VELMORA_32BIT_WHY="forced by VELMORA_RUNS_32BIT=no" ;;
    "")
      if out=$(timeout 10 /usr/lib/wine/wine --version 2>&1); then
        VELMORA_32BIT=yes VELMORA_32BIT_WHY="32-bit Wine runs here ($out)"
      else
        VELMORA_32BIT=no
        VELMORA_32BIT_WHY="this machine does not execute 32-bit code (/usr/lib/wine/wine --version: $(tail -n 1 <<<"${out:-timed out}"))"
      fi
      ;;
    *) echo "VELMORA_RUNS_32BIT must be yes, no or unset, not '$VELMORA_RUNS_32BIT'" >&2; return 2 ;;
  esac
  export VELMORA_32BIT VELMORA_32BIT_WHY
}
