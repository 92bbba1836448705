#!/bin/bash
# Signing with a throwaway self-signed certificate: the saver, the setup and
# the uninstaller it writes carry a valid signature over the whole file
# (the chain is untrusted); an unsigned build stays unsigned.
#   sign-check.sh BUILD_DIR SOURCE_DIR   (inside scripts/wine-session.sh)
source=$(cd "$2" && pwd)
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
. "$source/tests/e2e/lib.sh"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=GyrelSaver test" -days 2 \
  -keyout "$OUT/key.pem" -out "$OUT/cert.pem" 2>/dev/null
export GYREL_SIGN_CERT="$OUT/cert.pem" GYREL_SIGN_KEY="$OUT/key.pem"
signed() { # valid signature, digest of the whole file, untrusted without the CA file
  osslsigncode verify -CAfile "$OUT/cert.pem" -in "$1" 2>&1 | grep -q 'Signature verification: ok' &&
    ! osslsigncode verify -in "$1" >/dev/null 2>&1
}
check "an unsigned build is not signed" bash -c "! osslsigncode verify -in '$SCR' >/dev/null 2>&1"
cp "$SCR" "$OUT/GyrelSaver.scr"
"$source/scripts/sign.sh" "$OUT/GyrelSaver.scr"
check "the saver is signed" signed "$OUT/GyrelSaver.scr"
makensis -V1 -DVERSION="$(cat "$source/VERSION")" -DBUILD_DIR="$BUILD" -DSOURCE_DIR="$source" \
  -DOUTFILE="$OUT/setup.exe" "$source/installer/GyrelSaver.nsi"
check "the setup is signed" signed "$OUT/setup.exe"
wine "$OUT/setup.exe" /S /D='C:\GyrelSigned'
check "the uninstaller it writes is signed" signed "$WINEPREFIX/drive_c/GyrelSigned/Uninstall.exe"
wine 'C:\GyrelSigned\Uninstall.exe' /S
sleep 2
finish
