#!/usr/bin/env bash
# Checks the signatures of scripts/package --sign: every program in every zip and every MSI of
# the dist folder verifies with osslsigncode against the signer's certificate.
# Usage: signatures_check.sh CERT.pem DIST_FOLDER
set -u
cert=$1 dist=$2
checked=0 failed=0
verify() {  # file, label
    if osslsigncode verify -CAfile "$cert" -in "$1" >"$1.verify.log" 2>&1 && grep -q '^Succeeded' "$1.verify.log"; then
        checked=$((checked + 1))
    else
        echo "FAILED: $2 is not signed by the certificate"; sed 's/^/  /' "$1.verify.log" | tail -5
        failed=$((failed + 1))
    fi
    rm -f "$1.verify.log"
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shopt -s nullglob
zips=("$dist"/*.zip) msis=("$dist"/*.msi)
[ ${#zips[@]} -gt 0 ] && [ ${#msis[@]} -gt 0 ] || { echo "FAILED: no zips or MSIs in $dist"; exit 1; }
for zip in "${zips[@]}"; do
    rm -rf "$work/x" && mkdir "$work/x" && unzip -q "$zip" -d "$work/x"
    exes=("$work"/x/*.exe)
    [ ${#exes[@]} -eq 5 ] || { echo "FAILED: $zip holds ${#exes[@]} programs, not 5"; failed=$((failed + 1)); }
    for exe in "${exes[@]}"; do verify "$exe" "$(basename "$zip"):$(basename "$exe")"; done
done
for msi in "${msis[@]}"; do
    cp "$msi" "$work/" && verify "$work/$(basename "$msi")" "$(basename "$msi")"
done
echo "$checked signatures verified, $failed failed"
[ $failed -eq 0 ]
