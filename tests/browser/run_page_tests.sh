#!/bin/sh
# Runs the page tests with Node's test runner; skips (exit 77) with the reason when the
# machine lacks what they need.
cd "$(dirname "$0")" || exit 1
if ! command -v node >/dev/null 2>&1; then
    echo "page tests skipped: node is not installed (scripts/deps)"; exit 77
fi
if [ ! -x "${QORV_CHROMIUM:-/usr/bin/chromium}" ]; then
    echo "page tests skipped: chromium is not installed (scripts/deps)"; exit 77
fi
if [ ! -d node_modules/playwright-core ]; then
    echo "page tests skipped: tests/browser/node_modules is missing (scripts/deps runs npm ci)"; exit 77
fi
exec node --test --test-reporter=spec page.test.mjs oa_notices.test.mjs
