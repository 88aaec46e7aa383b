#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file git tracks names its licence in an SPDX line at its top
# (tools/add-spdx-headers.sh adds it to new files).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bash "$top/tools/add-spdx-headers.sh" --check
echo "every source file has its SPDX line"
