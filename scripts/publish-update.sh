#!/usr/bin/env bash
# The vendor's side of an update: lays out a complete update folder, ready to be copied to
# the server's /software/upgrade/tavlo/: version.txt, TAVLO.exe, bootstrap.exe and a minisign
# signature beside each program, whose trusted comment names the file and the version.
#
#   scripts/publish-update.sh VERSION PROGRAM BOOTSTRAP SECRET_KEY FOLDER [PUBLIC_KEY]
#
# PUBLIC_KEY (the .pub file or its base64 line) is the key the release was built with; when
# given, every signature is checked against it before anything lands in FOLDER.
set -euo pipefail

fail() { echo "publish-update: $*" >&2; exit 1; }
[ $# -eq 5 ] || [ $# -eq 6 ] || { echo "usage: $0 VERSION PROGRAM BOOTSTRAP SECRET_KEY FOLDER [PUBLIC_KEY]" >&2; exit 2; }
version=$1 program=$2 bootstrap=$3 secret_key=$4 folder=$5 public_key=${6:-}

command -v minisign >/dev/null || fail "minisign is missing (Debian: apt-get install minisign)"
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the version must read major.minor.revision, e.g. 1.0.2"
# TAVLO reads the leading number of the version text and never offers one that reads as 0.
[[ $version =~ ^0+\.0+\. ]] && fail "a version starting 0.0 is never offered"
for file in "$program" "$bootstrap" "$secret_key"; do
  [ -f "$file" ] || fail "$file: no such file"
done

mkdir -p "$folder"
stage=$(mktemp -d "$folder/.publish.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp -- "$program" "$stage/TAVLO.exe"
cp -- "$bootstrap" "$stage/bootstrap.exe"
printf '%s' "$version" > "$stage/version.txt"

for name in TAVLO.exe bootstrap.exe; do
  minisign -S -s "$secret_key" -m "$stage/$name" -x "$stage/$name.minisig" \
    -c "TAVLO $version $name" -t "file:$name version:$version timestamp:$(date +%s)" >/dev/null
  if [ -n "$public_key" ]; then
    if [ -f "$public_key" ]; then key_option=(-p "$public_key"); else key_option=(-P "$public_key"); fi
    minisign -V -q "${key_option[@]}" -m "$stage/$name" -x "$stage/$name.minisig" \
      || fail "$name: the signature does not match the public key given"
  fi
done

# The version last: a server never offers a version whose files are not in place yet.
for name in TAVLO.exe TAVLO.exe.minisig bootstrap.exe bootstrap.exe.minisig version.txt; do
  mv -f -- "$stage/$name" "$folder/$name"
done
echo "Update folder for $version ready in $folder"
