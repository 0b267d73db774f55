#!/bin/bash
# Builds the Windows release from the Windows build (as `make dist` does):
#   dist/lumiseek-<version>-win64.zip   lumiseek.exe, es.exe, start_lumiseek.exe (when built),
#                                       README.txt (the user guide) and LICENSE.txt
#   dist/lumiseek-<version>-setup.exe   the same files in an installer made with makensis
#   dist/lumiseek.exe, dist/lumiseek.exe.sig   what the online update fetches; the signature only when
#                                       LUMISEEK_RELEASE_KEY names the release's private key (a PEM file)
#   scripts/make-dist.sh [WINDOWS_BUILD_DIR]     (default build/win)
set -euo pipefail
cd "$(dirname "$0")/.."
WIN_DIR=${1:-build/win}
# The version the build was made with (the file VERSION, or make win VERSION=...), as the program says it.
VERSION=$(sed -n 's/^#define LUMISEEK_VERSION_SHORT "\(.*\)"$/\1/p' "$WIN_DIR/generated/lumiseek_version.h" 2>/dev/null)
[ -n "$VERSION" ] || { echo "dist: $WIN_DIR/generated/lumiseek_version.h is missing (make win)" >&2; exit 1; }
STAGE=build/dist/files
OUT=dist

for tool in zip makensis; do
  command -v "$tool" >/dev/null || { echo "dist: $tool is missing (make deps)" >&2; exit 1; }
done
for file in lumiseek.exe engine/es.exe; do
  [ -f "$WIN_DIR/$file" ] || { echo "dist: $WIN_DIR/$file is missing (make win)" >&2; exit 1; }
done

rm -rf "$STAGE" && mkdir -p "$STAGE" "$OUT"
cp "$WIN_DIR/lumiseek.exe" "$WIN_DIR/engine/es.exe" "$STAGE/"
launcher=$(find "$WIN_DIR" -name start_lumiseek.exe -type f -print -quit)
[ -n "$launcher" ] && cp "$launcher" "$STAGE/"
# Plain text for Windows: CR LF line ends.
sed 's/$/\r/' packaging/README.txt > "$STAGE/README.txt"
sed 's/$/\r/' LICENSE > "$STAGE/LICENSE.txt"
cp resources/lumiseek.ico build/dist/

zip_file=$OUT/lumiseek-$VERSION-win64.zip
rm -f "$zip_file"
(cd "$STAGE" && zip -q -X -9 "$OLDPWD/$zip_file" ./*)
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$PWD/$STAGE" -DOUTFILE="$PWD/$OUT/lumiseek-$VERSION-setup.exe" \
  packaging/lumiseek.nsi
echo "dist: $zip_file ($(ls "$STAGE" | tr '\n' ' '))"
echo "dist: $OUT/lumiseek-$VERSION-setup.exe"

# The program as the online update fetches it, with its signature by the release key.
cp "$STAGE/lumiseek.exe" "$OUT/lumiseek.exe"
rm -f "$OUT/lumiseek.exe.sig"
if [ -n "${LUMISEEK_RELEASE_KEY:-}" ]; then
  python3 scripts/sign-release.py sign "$LUMISEEK_RELEASE_KEY" "$OUT/lumiseek.exe"
  echo "dist: $OUT/lumiseek.exe and its signature $OUT/lumiseek.exe.sig"
else
  echo "dist: LUMISEEK_RELEASE_KEY is not set: this release is unsigned, nothing was signed" \
       "(the online update refuses $OUT/lumiseek.exe without lumiseek.exe.sig)"
fi
