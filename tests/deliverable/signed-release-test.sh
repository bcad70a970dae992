#!/bin/sh
# shellcheck disable=SC2030,SC2031 # each case sets its signing settings in a subshell
# The release script (packaging/Dist.cmake) with a throwaway certificate
# authority and code-signing certificate made here, so that nothing secret
# lives in the repository; then the sample installers, built where the
# release is signed:
#   signed-release-test.sh SOURCE_DIR PROGRAM README VERSION PREFIX
# PROGRAM is the built, unsigned KesOrvCleanup.exe, VERSION its version
# resource's (1.2.3.0); PREFIX the Wine prefix in which the signed program
# runs its removal case and the signed installer installs.
set -eu
"$(dirname "$0")/../require.sh" osslsigncode:osslsigncode openssl:openssl
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$1" && pwd)
program=$2
readme=$3
version=$4
prefix=$5
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# --- The certificates -------------------------------------------------------
cat >openssl.cnf <<'EOF'
[req]
distinguished_name = name
[name]
[authority]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[signer]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[time_stamping]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature, nonRepudiation
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa]
default_tsa = local
[local]
serial = ./tsa-serial
crypto_device = builtin
signer_digest = sha256
digests = sha256
default_policy = 1.3.6.1.4.1.99999.1
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
authority() {  # authority NAME: NAME.crt and NAME.key
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$1" -config openssl.cnf \
    -extensions authority -keyout "$1.key" -out "$1.crt" 2>/dev/null
}
authority test-authority
authority other-authority
issue() {  # issue NAME SUBJECT EXTENSIONS: NAME.crt and NAME.key, from test-authority
  openssl req -newkey rsa:2048 -nodes -subj "/CN=$2" -config openssl.cnf \
    -keyout "$1.key" -out "$1.csr" 2>/dev/null
  openssl x509 -req -in "$1.csr" -CA test-authority.crt -CAkey test-authority.key \
    -CAcreateserial -days 2 -extfile openssl.cnf -extensions "$3" -out "$1.crt" 2>/dev/null
}
issue signer "Kestrova test signer" signer
issue tsa "Test time-stamp server" time_stamping
password='throwaway pass phrase'
printf '%s\n' "$password" >password.txt
openssl pkcs12 -export -inkey signer.key -in signer.crt -certfile test-authority.crt \
  -passout file:password.txt -out signer.p12

# osslsigncode as dist finds it on the PATH, recording every command line.
real_osslsigncode=$(command -v osslsigncode)
mkdir bin
cat >bin/osslsigncode <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$scratch/command-lines.txt"
exec "$real_osslsigncode" "\$@"
EOF
chmod +x bin/osslsigncode

# A time-stamp server on this machine, its certificate from the same authority.
cp openssl.cnf ts.cnf
echo 01 >tsa-serial
/usr/bin/python3 "$here/time_stamp_server.py" "$scratch" &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$scratch"' EXIT
tries=0
until [ -f port ] || [ $tries -ge 100 ]; do
  sleep 0.1
  tries=$((tries + 1))
done
time_stamp_url=http://127.0.0.1:$(cat port)/

# dist DIST_DIR [-DNAME=VALUE...]: runs the release script as the dist
# target does; its output, with the status appended, goes to DIST_DIR.log.
# Each case sets its signing environment in a subshell of its own.
dist() {
  directory=$1
  shift
  status=0
  env PATH="$scratch/bin:$PATH" cmake -DPROGRAM="$program" -DREADME="$readme" \
    -DDIST_DIR="$scratch/$directory" -DWORK_DIR="$scratch/work" "$@" \
    -P "$source_dir/packaging/Dist.cmake" >"$directory.log" 2>&1 || status=$?
  echo "status $status" >>"$directory.log"
}
verify() {  # verify FILE AUTHORITY: the signature, and its time stamp if any
  "$real_osslsigncode" verify -CAfile "$2.crt" -TSA-CAfile "$2.crt" -in "$1" >verify.log 2>&1
}
unset KESORV_SIGN_PKCS12 KESORV_SIGN_PASSWORD KESORV_SIGN_PASSWORD_FILE \
  KESORV_SIGN_TIMESTAMP_URL KESORV_SIGN_DESCRIPTION KESORV_SIGN_URL

# --- Without a certificate: the unsigned release, said in one line ----------
dist unsigned
grep -q "status 0" unsigned.log || fail "unsigned release: $(cat unsigned.log)"
[ "$(grep -c "NOT signed" unsigned.log)" -eq 1 ] || fail "no one line saying it is unsigned"
cmp -s "$program" unsigned/KesOrvCleanup.exe || fail "unsigned release differs from the program"
grep -q "is not signed" unsigned/README.txt || fail "README.txt does not say it is unsigned"

# --- Signed, the settings in the environment ---------------------------------
(
  export KESORV_SIGN_PKCS12="$scratch/signer.p12" KESORV_SIGN_PASSWORD="$password" \
    KESORV_SIGN_DESCRIPTION="Orvane cleanup (test build)" KESORV_SIGN_URL=https://example.com/orvane
  dist signed
)
grep -q "status 0" signed.log || fail "signed release: $(cat signed.log)"
signed=signed/KesOrvCleanup.exe
if verify "$signed" test-authority; then
  grep -q "Text description: Orvane cleanup (test build)" verify.log || fail "no description"
  grep -q "URL description: https://example.com/orvane" verify.log || fail "no URL"
  grep -q "Message digest algorithm *: SHA256" verify.log || fail "not SHA-256"
else
  fail "signed program does not verify: $(cat verify.log)"
fi
if verify "$signed" other-authority; then
  fail "signed program verifies against another authority"
fi
(cd signed && sha256sum -c --quiet KesOrvCleanup.exe.sha256) ||
  fail ".sha256 is not the signed file's"
grep -q "Authenticode signature" signed/README.txt || fail "README.txt does not say it is signed"
if grep -qF "$password" command-lines.txt signed.log; then
  fail "the password appears on a command line or in the output"
fi

"$real_osslsigncode" remove-signature -in "$signed" -out removed.exe >/dev/null
cmp removed.exe "$program" || fail "removing the signature does not give back the program"

cp "$signed" changed.exe
/usr/bin/python3 - changed.exe <<'EOF'
import sys
with open(sys.argv[1], "r+b") as f:  # one byte of the code section
    f.seek(0x1800)
    byte = f.read(1)[0]
    f.seek(0x1800)
    f.write(bytes([byte ^ 0x01]))
EOF
if verify changed.exe test-authority; then
  fail "a program changed by one byte still verifies"
fi

/usr/bin/python3 "$here/check_pe.py" "$signed" "$version" --signed >check_pe.log ||
  fail "program properties: $(grep FAIL check_pe.log)"

# The signed program still does its work: under Wine, its removal case.
# shellcheck source=tests/support/tool-paths.sh
. "$here/../support/tool-paths.sh"
run_key="HKLM\\$RUN_KEY"
reg() { "$here/../wine-runner/reg32.sh" "$prefix" "$@"; }
reg add "$run_key" /v KesOrvSignedRelease /d x /f >/dev/null 2>&1
"$here/../wine-runner/wine-run.sh" "$prefix" "$scratch/$signed" KesOrvSignedRelease remove \
  >wine-output.txt 2>&1 || fail "Wine run: status $?"
if [ -s wine-output.txt ]; then
  fail "the signed program printed: $(cat wine-output.txt)"
fi
if reg query "$run_key" /v KesOrvSignedRelease >/dev/null 2>&1; then
  reg delete "$run_key" /v KesOrvSignedRelease /f >/dev/null 2>&1
  fail "the signed program did not remove the Run value under Wine"
fi

# --- Signed, the settings as the dist target passes its cache variables ------
dist cached -DPKCS12="$scratch/signer.p12" -DPASSWORD_FILE="$scratch/password.txt"
grep -q "status 0" cached.log || fail "signing with a password file: $(cat cached.log)"
verify cached/KesOrvCleanup.exe test-authority || fail "password-file release does not verify"
grep -q "Text description: Orvane cleanup helper" verify.log || fail "no default description"

# --- Signed and time-stamped -------------------------------------------------
(
  export KESORV_SIGN_PKCS12="$scratch/signer.p12" KESORV_SIGN_PASSWORD="$password" \
    KESORV_SIGN_TIMESTAMP_URL="$time_stamp_url"
  dist stamped
)
grep -q "status 0" stamped.log || fail "signing with a time stamp: $(cat stamped.log)"
grep -qF -- "-ts $time_stamp_url" command-lines.txt || fail "the time-stamp URL was not passed on"
if verify stamped/KesOrvCleanup.exe test-authority; then
  grep -q "Timestamp Server Signature verification: ok" verify.log ||
    fail "no valid time stamp: $(cat verify.log)"
else
  fail "time-stamped program does not verify: $(cat verify.log)"
fi

# --- The sample installers and the uninstaller, signed as the release is -----
# A build whose cache names the certificate, as a signed release's does.
installer="sample-build/installers/OrvaneSetup.exe"
if ! cmake -S "$source_dir" -B sample-build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/i686-w64-mingw32.cmake" \
  -DKESORV_SIGN_PKCS12="$scratch/signer.p12" -DKESORV_SIGN_PASSWORD_FILE="$scratch/password.txt" \
  >sample-build.log 2>&1 ||
  ! cmake --build sample-build --target kesorv_installers >>sample-build.log 2>&1; then
  fail "building the sample installers: $(tail -20 sample-build.log)"
fi
verify "$installer" test-authority || fail "the sample installer does not verify: $(cat verify.log)"
for package in Orvane.msi Orvane-2.msi Orvane-2-rebuilt.msi; do
  verify "sample-build/installers/$package" test-authority ||
    fail "the sample $package does not verify: $(cat verify.log)"
done
# An NSIS uninstaller is made inside its installer: only an install shows
# whether the one it writes is signed. It installs in its own folder under
# the program files folder, the only place it accepts.
"$here/../wine-runner/wine-run.sh" "$prefix" "$scratch/$installer" /S \
  >wine-output.txt 2>&1 || fail "installing the signed sample: status $?"
kestrova="$(readlink -f "$prefix")/drive_c/Program Files (x86)/Kestrova"
uninstaller="$kestrova/Orvane/uninstall.exe"
if [ -f "$uninstaller" ]; then
  verify "$uninstaller" test-authority ||
    fail "the uninstaller it wrote does not verify: $(cat verify.log)"
else
  fail "the signed sample installed no uninstaller: $(cat wine-output.txt)"
fi
reg delete 'HKLM\SOFTWARE\Kestrova' /f >/dev/null 2>&1 || true
reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane' /f >/dev/null 2>&1 || true
reg delete "$run_key" /v Orvane /f >/dev/null 2>&1 || true
rm -rf "$kestrova"

# --- What stops dist, leaving the previous release as it was -----------------
# Each case's settings are KESORV_SIGN_ variables without that prefix.
echo "wrong" >wrong-password.txt
p12=$scratch/signer.p12
pass_file=$scratch/password.txt
down=${time_stamp_url}unavailable
while IFS='|' read -r case message settings; do
  rm -rf failed && cp -r signed failed
  (
    for setting in $settings; do export "KESORV_SIGN_$setting"; done
    dist failed
  )
  if grep -q "status 0" failed.log; then
    fail "$case: dist did not stop"
  fi
  grep -qF "$message" failed.log || fail "$case: no message \"$message\": $(cat failed.log)"
  diff -r signed failed >/dev/null || fail "$case: the release folder changed: $(ls -A failed)"
  if [ -e work ]; then
    fail "$case: the work folder is left behind"
  fi
done <<EOF
wrong password|Wrong password?|PKCS12=$p12 PASSWORD=wrong
wrong password in a file|Wrong password?|PKCS12=$p12 PASSWORD_FILE=$scratch/wrong-password.txt
missing certificate file|no certificate file|PKCS12=$scratch/missing.p12 PASSWORD=x
no password given|give its password|PKCS12=$p12
missing password file|no password file|PKCS12=$p12 PASSWORD_FILE=$scratch/missing.txt
time-stamp server down|timestamping failed|PKCS12=$p12 PASSWORD_FILE=$pass_file TIMESTAMP_URL=$down
EOF

[ "$failures" -eq 0 ] || exit 1
echo "ok: signed, time-stamped, verified, reversible, tamper-evident, runs under Wine;"
echo "    the sample installer, the uninstaller it writes and the sample MSIs are signed;"
echo "    each failure stops dist and leaves the release as it was"
