#!/usr/bin/env bash
# Authenticode-signs Windows binaries in place with SHA-256:
#   SIGN_PFX=cert.pfx SIGN_PASS_FILE=pass.txt [SIGN_TIMESTAMP_URL=url] tools/sign.sh FILE...
# The password is read from a file, never from the command line; with a
# timestamp server the signature outlives the certificate.
#   tools/sign.sh --check: says in one line why the SIGN_* settings cannot
#   sign (nothing to say, and status 0, when none is set), and warns when
#   no timestamp server is given.
#   tools/sign.sh --signer: the signing certificate's subject, thumbprint
#   and end.
set -euo pipefail
if [ "${1:-}" = --check ]; then
  if [ -z "${SIGN_PFX:-}${SIGN_PASS_FILE:-}" ]; then exit 0; fi
  fail() { echo "signing: $*" >&2; exit 1; }
  [ -r "${SIGN_PFX:-}" ] || fail "cannot read the certificate SIGN_PFX='${SIGN_PFX:-}'"
  [ -r "${SIGN_PASS_FILE:-}" ] || fail "cannot read the password file SIGN_PASS_FILE='${SIGN_PASS_FILE:-}'"
  openssl pkcs12 -in "$SIGN_PFX" -passin file:"$SIGN_PASS_FILE" -nokeys -noout 2>/dev/null ||
    fail "SIGN_PFX='$SIGN_PFX' does not open with the password in SIGN_PASS_FILE"
  if [ -z "${SIGN_TIMESTAMP_URL:-}" ]; then
    echo "signing: warning: no SIGN_TIMESTAMP_URL, so the signature expires with the certificate" \
         "($("$0" --signer | sed -n 's/^expires: //p'))" >&2
  fi
  exit 0
fi
# --signer: the certificate's subject, SHA-1 thumbprint and end, one a line.
if [ "${1:-}" = --signer ]; then
  openssl pkcs12 -in "$SIGN_PFX" -passin file:"$SIGN_PASS_FILE" -nokeys -clcerts 2>/dev/null |
    openssl x509 -noout -subject -fingerprint -sha1 -enddate -nameopt RFC2253 |
    sed 's/^subject=/subject: /; s/^notAfter=/expires: /; /^sha1 Fingerprint=/I{s/^[^=]*=/SHA-1 thumbprint: /; s/://2g}'
  exit 0
fi
: "${SIGN_PFX:?a PKCS#12 file with the certificate and key}" "${SIGN_PASS_FILE:?the file holding its password}"
for file in "$@"; do
  args=(sign -pkcs12 "$SIGN_PFX" -readpass "$SIGN_PASS_FILE" -h sha256 -n "qelv_dorevivi"
        -in "$file" -out "$file.signed")
  [ -n "${SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$SIGN_TIMESTAMP_URL")
  osslsigncode "${args[@]}" >/dev/null
  mv "$file.signed" "$file"
done
