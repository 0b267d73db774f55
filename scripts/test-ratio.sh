#!/bin/sh
# Lines of product code and of tests, and their ratio. Tests: the unit tests with their fake port and
# helpers, the engine's and the voice's tests, the end-to-end tests (test_*.py) and the fuzz targets;
# the end-to-end harness and its helper programs aside.
cd "$(dirname "$0")/.."
product=$(git ls-files 'src/*' 'engine/*' 'launcher/*' 'wine/*' | grep -Ev '^(engine|wine)/tests/' | grep -E '\.(cpp|h|inc)$' | grep -v 'case_table' | xargs cat | wc -l)
tests=$(git ls-files 'tests/unit/*' 'engine/tests/*' 'wine/tests/*' 'tests/e2e/test_*.py' 'tests/fuzz/*' | grep -E '\.(cpp|h|py)$' | xargs cat | wc -l)
echo "product code: $product lines; tests: $tests lines; ratio $(echo "scale=2; $tests / $product" | bc)"
