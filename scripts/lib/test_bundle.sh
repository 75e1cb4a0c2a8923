#!/usr/bin/env bash
# scripts/package --tests: the bundle that runs the suite on Windows, OUT/brevanto-tests-<version>.zip.
# Usage: test_bundle.sh OUT
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
out=$1
newer=8.0.35

log "building mingw-i686 and mingw-x64"
configure_and_build mingw-i686 Brevanto brevanto-check brevanto_standin brevanto_wine_tests \
    brevanto_msi_tests brevanto-test-runner brevanto_setup_actions || exit 1
configure_and_build mingw-x64 Brevanto brevanto-check brevanto_standin brevanto_wine_tests ||
    exit 1

read -r exe_version _ < <(python3 "$ROOT/scripts/lib/pe_version.py" "$BUILD/mingw-i686/bin/Brevanto.exe")
version=$(python3 "$ROOT/scripts/lib/product_version.py" --from-file-version "$exe_version") ||
    exit 1
name=brevanto-tests-$version
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
bundle="$work/$name"
mkdir -p "$bundle/packages"

# A throwaway signing certificate, valid for 30 days: a signature without a timestamp stops
# verifying (CERT_E_EXPIRED) when its certificate expires. Its key and password stay in the
# private temporary folder; only the public certificate goes into the bundle.
log "a throwaway code-signing certificate, valid for 30 days"
secret="$work/certificate"
mkdir -p "$secret"
(
    umask 077
    head -c 24 /dev/urandom | base64 >"$secret/password"
    openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Brevanto test bundle" \
        -addext extendedKeyUsage=codeSigning -keyout "$secret/key.pem" -out "$secret/cert.pem" \
        >"$secret/openssl.log" 2>&1 &&
        openssl pkcs12 -export -inkey "$secret/key.pem" -in "$secret/cert.pem" \
            -out "$secret/signing.pfx" -passout "file:$secret/password" >>"$secret/openssl.log" 2>&1
) || { cat "$secret/openssl.log" >&2; exit 1; }
openssl x509 -in "$secret/cert.pem" -outform der -out "$bundle/packages/brevanto-test-ca.cer" ||
    exit 1
# Beside the signed packages: the thumbprint their installed exes' signatures must chain to
# (tests/msi/signature_test.cpp).
openssl x509 -in "$secret/cert.pem" -noout -fingerprint -sha1 \
    >"$bundle/packages/test-certificate.sha1" || exit 1

log "the $version and $newer packages, signed"
for product in "$version" "$newer"; do
    "$ROOT/scripts/package" --product-version "$product" --sign "$secret/signing.pfx" \
        --sign-password-file "$secret/password" --no-timestamp --out "$work/package-$product" \
        >"$work/package-$product.log" 2>&1 || { cat "$work/package-$product.log" >&2; exit 1; }
    cp "$work/package-$product/Brevanto-$product.msi" "$bundle/packages/" || exit 1
done

log "the bundle"
cp "$BUILD/mingw-i686/bin/brevanto-test-runner.exe" "$bundle/" || exit 1
for arch in i686 x64; do
    mkdir -p "$bundle/mingw-$arch/bin"
    programs=(Brevanto.exe brevanto-check.exe BrevantoStandin.dll brevanto_wine_tests.exe
        brevanto_crash_probe.exe)
    [ "$arch" = i686 ] && programs+=(brevanto_msi_tests.exe)
    for program in "${programs[@]}"; do
        cp "$BUILD/mingw-$arch/bin/$program" "$bundle/mingw-$arch/bin/" || exit 1
    done
    # Wine makes no junction but shows a Unix symbolic link as one: the link tests take this one
    # there (unpacked with unzip, which makes the link again). Windows makes junctions of its own.
    mkdir -p "$bundle/mingw-$arch/bin/link-fixture/target"
    ln -s target "$bundle/mingw-$arch/bin/link-fixture/linked"
done
cp "$ROOT/tests/wine_allowances.txt" "$bundle/" || exit 1
sed "s/@VERSION@/$version/g" "$ROOT/packaging/test-bundle/README-windows.txt" |
    sed 's/$/\r/' >"$bundle/README-windows.txt"
sed "s/@VERSION@/$version/g" "$ROOT/packaging/test-bundle/brevanto-tests.wsb.in" \
    >"$bundle/brevanto-tests.wsb"

commit=$(git -C "$ROOT" rev-parse HEAD 2>/dev/null || echo unknown)
[ -n "$(git -C "$ROOT" status --porcelain 2>/dev/null)" ] && commit="$commit (with uncommitted changes)"
{
    echo "Brevanto test bundle"
    echo "commit: $commit"
    echo "date: $(date -u +%Y-%m-%dT%H:%M:%SZ)"
    echo "Brevanto: $version (file version $exe_version)"
    echo "packages: $version, $newer (signed, no timestamp; the certificate expires $(openssl x509 -in "$secret/cert.pem" -noout -enddate | cut -d= -f2))"
    echo "compiler: $(i686-w64-mingw32-g++-posix --version | head -n 1)"
    echo "wixl: $(wixl --version 2>&1 | head -n 1)"
    echo "osslsigncode: $(osslsigncode --version 2>&1 | head -n 1)"
    echo
    echo "SHA-256 of every file:"
    (cd "$bundle" && find . -type f ! -name bundle.txt | sed 's|^\./||' | LC_ALL=C sort |
        xargs -d '\n' sha256sum)
} >"$bundle/bundle.txt"

# Nothing secret may leave: no key, password or PKCS#12 file.
if find "$bundle" -type f \( -name '*.pfx' -o -name '*.p12' -o -name '*.key' -o -name '*.pass' \
    -o -name '*password*' -o -name 'key.pem' \) | grep -q .; then
    echo "scripts/package: a private file is in the bundle" >&2
    exit 1
fi
rm -f "$out/$name.zip"
python3 "$ROOT/scripts/lib/zip_folder.py" "$out/$name.zip" "$work/$name" || exit 1
echo "$out/$name.zip"
