#!/usr/bin/env bash
# Builds the Debian package and checks it as an administrator would: its file list and control
# fields, lintian, the desktop entry and the AppStream metadata; then installs it into a
# throw-away root and runs the installed velnor-cli there as a user who is not root.
# Run by CI (.ci/run) after scripts/test; it skips, saying why, where dpkg or lintian is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."

for tool in dpkg dpkg-deb dpkg-architecture lintian desktop-file-validate appstreamcli \
    /usr/share/bash-completion/bash_completion; do
    if ! command -v "$tool" >/dev/null && [ ! -f "$tool" ]; then
        echo "SKIPPED: the package check needs $tool (scripts/install-ci-deps installs it)"
        exit 0
    fi
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

scripts/package
deb=$(ls build/velnor_*.deb)
version=$(sed -n 's/^project(Velnor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
langdir=usr/lib/$multiarch/velnor/lang
[ "$deb" = "build/velnor_${version}_${arch}.deb" ] || fail "package named $deb"
echo "== $deb: $(stat -c %s "$deb") bytes"

# Every file in its place, and nothing else (no tests, benchmarks or build leftovers).
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 3)}' | sort)
expected=$(sort <<EOT
usr/bin/velnor
usr/bin/velnor-cli
$langdir/lang_de.so
$langdir/lang_en.so
$langdir/lang_fr.so
$langdir/lang_zh.so
usr/share/applications/org.velnor.Velnor.desktop
usr/share/bash-completion/completions/velnor-cli
usr/share/doc/velnor/changelog.gz
usr/share/doc/velnor/copyright
usr/share/icons/hicolor/128x128/apps/org.velnor.Velnor.png
usr/share/icons/hicolor/32x32/apps/org.velnor.Velnor.png
usr/share/icons/hicolor/48x48/apps/org.velnor.Velnor.png
usr/share/icons/hicolor/scalable/apps/org.velnor.Velnor.svg
usr/share/lintian/overrides/velnor
usr/share/man/man1/velnor-cli.1.gz
usr/share/man/man1/velnor.1.gz
usr/share/metainfo/org.velnor.Velnor.metainfo.xml
$(cd help && ls | grep -v CMakeLists.txt | sed 's|^|usr/share/velnor/help/|')
EOT
)
if [ "$files" != "$expected" ]; then
    fail "file list differs from the expected one:"
    diff <(echo "$expected") <(echo "$files") || true
fi

# Control fields: the one version, dependencies from the libraries, the recommended services.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "Version $(field Version), not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture $(field Architecture)"
for library in libc6 libpcsclite1 libicu libpugixml1v5 libqt6widgets6 libstdc++6; do
    grep -q "$library" <<<"$(field Depends)" || fail "Depends lacks $library: $(field Depends)"
done
[ "$(field Recommends)" = "pcscd, vsmartcard-vpcd" ] || fail "Recommends $(field Recommends)"
dpkg-deb -I "$deb"

echo "== lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian reports an error"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
chmod 755 "$root" # the user who runs the installed programs passes through it
dpkg-deb -x "$deb" "$root/unpacked"
desktop-file-validate "$root/unpacked/usr/share/applications/org.velnor.Velnor.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$root/unpacked/usr/share/metainfo/org.velnor.Velnor.metainfo.xml" ||
    fail "appstreamcli validate"
grep -q "Exec=velnor$" "$root/unpacked/usr/share/applications/org.velnor.Velnor.desktop" ||
    fail "the menu entry does not start velnor"
# The completion, as bash-completion loads it: the words typed, what it offers for the last.
completions=$(bash -c 'source /usr/share/bash-completion/bash_completion && source "$1" &&
    for line in "velnor-cli |" "velnor-cli --reader sim:c.json read |" "velnor-cli pin c|"; do
        COMP_WORDS=(${line%|}); [[ $line == *" |" ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=${line%|}; COMP_POINT=${#COMP_LINE}
        _velnor_cli velnor-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"; echo "${COMPREPLY[*]}"
    done' _ "$root/unpacked/usr/share/bash-completion/completions/velnor-cli") ||
    fail "bash completion does not load"
[ "$completions" = "readers info read write list restore decode encode card pin
phonebook messages
change" ] || fail "bash completion offers: $completions"

# Install into a throw-away root; the programs there find their installed files and write
# only into the user's folders.
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: installing into a throw-away root needs root (dpkg --root)"
    exit $((failures > 0))
fi
target=$root/target
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates" "$target/home"
touch "$target/var/lib/dpkg/status"
# The root holds no other package, so the dependencies are the host's own libraries.
dpkg --root="$target" --force-depends --force-script-chrootless -i "$deb" >"$root/dpkg.log" 2>&1 ||
    fail "dpkg --root -i: $(cat "$root/dpkg.log")"
user_home=$target/home/user
mkdir -p "$user_home"
chown nobody:nogroup "$user_home"
installed=$target/usr/bin/velnor-cli
as_user() {
    (cd "$user_home" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$user_home" PCSCLITE_CSOCK_NAME="$user_home/no-pcscd" \
        "$@")
}
touch "$root/before"
[ "$(as_user "$installed" --version)" = "velnor-cli $version" ] || fail "velnor-cli --version"
[ "$(as_user "$target/usr/bin/velnor" --version)" = "velnor $version" ] || fail "velnor --version"
as_user "$installed" card demo "$user_home/card.json" || fail "card demo as a user"
phonebook=$(as_user "$installed" --reader "sim:$user_home/card.json" read phonebook) ||
    fail "read phonebook as a user"
grep -q "+4915112345678" <<<"$phonebook" || fail "the demo card's phonebook: $phonebook"
[ -f "$user_home/.local/share/velnor/Phone.fph" ] || fail "no backup in the user's data folder"
said=$(as_user "$installed" readers 2>&1) && fail "readers without pcscd succeeded"
grep -q "systemctl start pcscd.socket" <<<"$said" || fail "readers without pcscd: $said"
# The window, started as the menu entry does, loads its language packs from the installed
# folder and keeps its settings in the user's data folder (offscreen: no display needed).
loaded=$(as_user timeout 5 env QT_QPA_PLATFORM=offscreen LD_DEBUG=files \
    "$target/usr/bin/velnor" --reader "sim:$user_home/card.json" 2>&1 || true)
grep -q "file=$target/$langdir/lang_" <<<"$loaded" || fail "the window loads no pack from $langdir"
[ -f "$user_home/.local/share/velnor/velnor.config.xml" ] || fail "no settings in the data folder"
written=$(find "$target/usr" -newer "$root/before" -print)
[ -z "$written" ] || fail "wrote under the prefix: $written"

if [ "$failures" -gt 0 ]; then
    echo "package check: $failures failures"
    exit 1
fi
echo "package check: all passed"
