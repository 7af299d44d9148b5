# SPDX-License-Identifier: MIT
# The openpyxl peer of the import benchmarks: reads every row of the first
# sheet of an .xlsx in read-only mode and prints the seconds that took
# (Python's own start left out).
import sys
import time

import openpyxl

start = time.perf_counter()
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
rows = sum(1 for _ in book.worksheets[0].iter_rows(values_only=True))
book.close()
print(f"{time.perf_counter() - start:.3f}")
