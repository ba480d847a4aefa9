#!/usr/bin/env bash
# Builds the Debian package: sets the machine up, builds the two programs with Debian's
# hardening flags in build-package/, packs them with everything the install rules name into
# build-package/optvexlor_VERSION_ARCH.deb, and checks the package with lintian (errors fail).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# Dates in the package (manual pages, changelog) are the last commit's, so that one commit
# always gives the same package.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXLOR_BENCH=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
# Only what the package holds; the tests build elsewhere.
cmake --build build-package -j "$(nproc)" --target vexlor optvexlor
rm -f build-package/optvexlor_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls build-package/optvexlor_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Section Depends
lintian --fail-on error "$deb"
echo "package: $deb (lintian: no errors)"
