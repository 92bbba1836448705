#!/bin/bash
# Signing with a throwaway self-signed certificate: the saver and the setup
# carry a valid signature (the chain is untrusted); an unsigned build stays
# unsigned. scripts/sign.sh verifies each file it signs, so the setup build,
# which calls it for the uninstaller it writes too, fails on a bad one.
#   sign-check.sh BUILD_DIR SOURCE_DIR
source=$(cd "$2" && pwd)
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
. "$source/tests/e2e/lib.sh"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=GyrelSaver test" -days 2 \
  -keyout "$OUT/key.pem" -out "$OUT/cert.pem" 2>/dev/null
signed() { # valid against the certificate, untrusted without it
  osslsigncode verify -CAfile "$OUT/cert.pem" -in "$1" 2>&1 | grep -q 'Signature verification: ok' &&
    ! osslsigncode verify -in "$1" >/dev/null 2>&1
}
check "an unsigned build is not signed" bash -c "! osslsigncode verify -in '$SCR' >/dev/null 2>&1"
export GYREL_SIGN_CERT="$OUT/cert.pem" GYREL_SIGN_KEY="$OUT/key.pem"
cp "$SCR" "$OUT/GyrelSaver.scr"
"$source/scripts/sign.sh" "$OUT/GyrelSaver.scr"
check "the saver is signed" signed "$OUT/GyrelSaver.scr"
makensis -V1 -DVERSION="$(cat "$source/VERSION")" -DBUILD_DIR="$BUILD" -DSOURCE_DIR="$source" \
  -DOUTFILE="$OUT/setup.exe" "$source/installer/GyrelSaver.nsi"
check "the setup is signed, and so the uninstaller it carries" signed "$OUT/setup.exe"
finish
