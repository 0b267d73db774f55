#!/bin/sh
# Lines of product code and of tests (unit and end-to-end, harness aside), and their ratio.
cd "$(dirname "$0")/.."
product=$(git ls-files 'src/*' 'engine/*' 'launcher/*' 'wine/*' | grep -Ev '^(engine|wine)/tests/' | grep -E '\.(cpp|h|inc)$' | grep -v 'case_table' | xargs cat | wc -l)
tests=$(git ls-files 'tests/unit/*' 'engine/tests/*' 'wine/tests/*' 'tests/e2e/test_*.py' | grep -E '\.(cpp|h|py)$' | grep -v 'fake_port' | xargs cat | wc -l)
echo "product code: $product lines; tests: $tests lines; ratio $(echo "scale=2; $tests / $product" | bc)"
