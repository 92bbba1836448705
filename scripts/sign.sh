#!/bin/sh
# Signs Windows executables in place with osslsigncode (Authenticode, SHA-256)
# when a certificate and key are given; without them it does nothing, so
# unsigned builds stay the default.
#   GYREL_SIGN_CERT       certificate (PEM or DER), with its chain if any
#   GYREL_SIGN_KEY        private key (PEM or DER)
#   GYREL_SIGN_PASS_FILE  a file holding the key's password, if it has one
#   GYREL_SIGN_PASS       or the password itself (passed on through a private
#                         file: a command line is readable by every user)
#   GYREL_SIGN_TIMESTAMP  address of an RFC 3161 timestamp server (optional)
#   scripts/sign.sh FILE...
set -eu
[ -n "${GYREL_SIGN_CERT:-}" ] && [ -n "${GYREL_SIGN_KEY:-}" ] || exit 0
command -v osslsigncode >/dev/null || { echo "sign.sh: osslsigncode is missing" >&2; exit 1; }
pass_file=${GYREL_SIGN_PASS_FILE:-}
if [ -z "$pass_file" ] && [ -n "${GYREL_SIGN_PASS:-}" ]; then
  pass_file=$(umask 077 && mktemp)
  trap 'rm -f "$pass_file"' EXIT
  printf '%s' "$GYREL_SIGN_PASS" >"$pass_file"
fi
for file in "$@"; do
  set -- -certs "$GYREL_SIGN_CERT" -key "$GYREL_SIGN_KEY" -h sha256 -n GyrelSaver \
    -i https://www.quorvel.com/GyrelSaver
  [ -n "$pass_file" ] && set -- "$@" -readpass "$pass_file"
  [ -n "${GYREL_SIGN_TIMESTAMP:-}" ] && set -- "$@" -ts "$GYREL_SIGN_TIMESTAMP"
  osslsigncode sign "$@" -in "$file" -out "$file.signed" >/dev/null
  mv "$file.signed" "$file"
done
