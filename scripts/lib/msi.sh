# Builds one MSI from installer/quorvex.wxs with wixl (Debian's wixl; msitools for msibuild).
# wixl writes every UpgradeVersion row with an exclusive maximum and knows no MigrateFeatures, so
# the row that finds this version and older ones is made inclusive afterwards (a rebuilt package
# of the same version then replaces the installed one instead of being installed beside it) and
# migrating (the replacing package installs the features that the replaced one had).
quorvex_build_msi() {  # arch (x64|x86), version, staging folder, output MSI (absolute)
    local arch=$1 version=$2 stage=$3 out=$4 wxs idt
    wxs="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/installer/quorvex.wxs"
    rm -f "$out"
    # wixl finds the sources relative to the current folder only.
    (cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D Stage=. -o "$out" "$wxs") \
        >"$out.log" 2>&1 || { cat "$out.log" >&2; return 1; }
    idt=$(mktemp -d)
    # 769 = IncludeMinimum 256 + IncludeMaximum 512 + MigrateFeatures 1.
    msiinfo export "$out" Upgrade | sed 's/\t256\t\tOLDER_OR_SAME_FOUND\r$/\t769\t\tOLDER_OR_SAME_FOUND\r/' >"$idt/Upgrade.idt"
    grep -q $'\t769\t\tOLDER_OR_SAME_FOUND' "$idt/Upgrade.idt" || { echo "$out: no Upgrade row to make inclusive" >&2; rm -rf "$idt"; return 1; }
    msibuild "$out" -i "$idt/Upgrade.idt" || { rm -rf "$idt"; return 1; }
    rm -rf "$idt" "$out.log"
}
