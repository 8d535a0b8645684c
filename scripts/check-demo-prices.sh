#!/bin/sh
# Prices every contract position of a fresh demonstration database with
# korvex-rent-cli reckon and lists the positions that do not price.
#   scripts/check-demo-prices.sh [path/to/korvex-rent-cli]
set -eu
cli=${1:-build/korvex-rent-cli}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
db="$dir/demo.fdb"
"$cli" db init --demo "$db" >/dev/null
# The keys of the demonstration's positions, as its script inserts them.
keys=$(sed -n 's/^INSERT INTO rent_contractservice ([^)]*) VALUES (\([0-9]*\),.*/\1/p' \
       "$(dirname "$0")/../sql/demo/50_contracts.sql")
failed=0
total=0
for key in $keys; do
    total=$((total + 1))
    if out=$("$cli" reckon "$key" "$db" 2>&1); then
        echo "$key: $out"
    else
        echo "$key: FAILED: $out"
        failed=$((failed + 1))
    fi
done
echo "$total positions, $failed failed"
[ "$failed" -eq 0 ]
