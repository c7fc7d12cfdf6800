#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools (debhelper through dpkg-buildpackage) from
# the sources as they are in the work tree, committed or not, and prints its path:
#   build/deb/pelorin_<version>-1_<arch>.deb
# The package files live in packaging/debian; the version comes from project() in
# CMakeLists.txt. The build runs in a copy under build/deb, so nothing is written outside the
# tree. One commit gives the same bytes anywhere: the file times are those of the last commit
# (SOURCE_DATE_EPOCH, when set, overrides it) and the build path is mapped away.
set -euo pipefail
cd "$(dirname "$0")/.."
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"

scripts/install-deps.sh --deb >&2

version="$(sed -n 's/^project(Pelorin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "no version in project() of CMakeLists.txt" >&2; exit 1; }
out=build/deb
source_dir="$out/pelorin-$version"
rm -rf "$out" && mkdir -p "$source_dir"

# The tracked files as they stand, changes included: a stash commit made without touching the
# tree or the stash list, or the last commit where nothing changed.
snapshot="$(git stash create)"
git archive "${snapshot:-HEAD}" | tar -x -C "$source_dir"
cp -R packaging/debian "$source_dir/debian"
for template in "$source_dir"/debian/*.in; do
  sed "s/@VERSION@/$version/g" "$template" >"${template%.in}" && rm "$template"
done

# The locale is fixed so that no message or sort order depends on the builder's.
(cd "$source_dir" && LC_ALL=C.UTF-8 DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" \
  dpkg-buildpackage -b --no-sign >../dpkg-buildpackage.log 2>&1) ||
  { tail -n 40 "$out/dpkg-buildpackage.log" >&2; exit 1; }
ls "$out"/pelorin_"$version"-1_*.deb
