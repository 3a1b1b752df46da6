#!/usr/bin/env bash
# Installs what the build needs on a Debian 12 machine (as root), by package name.
set -euo pipefail
packages=(build-essential cmake googletest libgtest-dev libgmock-dev libbenchmark-dev libeigen3-dev
          qt6-base-dev qt6-translations-l10n libgl-dev xvfb xauth fonts-liberation2 poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A comma-decimal locale, so that the tests can show that numbers in files
# do not follow the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || echo "note: ru_RU.UTF-8 could not be generated; locale tests will be skipped"
fi
