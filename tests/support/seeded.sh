# Reproducible random bytes for the shell tests. Source this file.
#   seeded_bytes SEED COUNT   COUNT bytes on stdout, the same for the same
#                             SEED on every machine (AES-CTR keystream).
# Callers print the seed with what they made, so that a run can be repeated.
# The cipher reads exactly COUNT zero bytes and ends by itself, so its status
# is its own, not a broken pipe's (scripts that set -o pipefail use it too).
seeded_bytes() {
    head -c "$2" /dev/zero |
        openssl enc -aes-128-ctr -nosalt -pbkdf2 -pass "pass:$1" 2>/dev/null
}
