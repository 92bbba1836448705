#!/bin/sh
# Builds the fleet package with wixl and signs it as the other files are signed.
# wixl takes the files' sources relative to where it runs: it runs in the build tree.
#   scripts/build-msi.sh VERSION BUILD_DIR SOURCE_DIR OUT.msi
set -eu
source=$(realpath --relative-to="$2" "$3")
out=$(realpath "$4")
cd "$2"
wixl -a x64 -D Version="$1" -D BuildDir=. -D SourceDir="$source" -o "$out" "$source/installer/GyrelSaver.wxs"
# What wixl cannot say, in the package's own tables:
# - a package rebuilt at the same version replaces the first (the upgrade's
#   maximum version included), so one entry remains;
# - the saver's file carries its version, so Windows Installer's file rules apply;
# - the entry records the folder it installed the help into (InstallLocation),
#   where the saver's search for its help reads it.
upgrade=$(msiinfo export "$out" Upgrade | tr -d '\r' | awk -F '\t' '$7 == "WIX_UPGRADE_DETECTED" { print $1 }')
msibuild "$out" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
msibuild "$out" -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade', '$1', 513, 'WIX_UPGRADE_DETECTED')"
msibuild "$out" -q "UPDATE \`File\` SET \`Version\` = '$1.0' WHERE \`File\` = 'GyrelSaver.scr'"
msibuild "$out" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('SetInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')"
msibuild "$out" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('SetInstallLocation', 1001)"
"$source/scripts/sign.sh" "$out"
