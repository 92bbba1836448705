#!/bin/sh
# CTest's emulator for the Windows tree: runs one program under the Wine
# session that scripts/wine-session.sh prepared.
if [ -z "$WINEPREFIX" ] || [ -z "$GYREL_WINE_SESSION" ]; then
  echo "wine-exec: no Wine session; run through scripts/wine-session.sh" >&2
  exit 125
fi
exec wine "$@"
