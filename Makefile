# The two commands a newcomer runs. Each first installs what is missing.
.PHONY: demo test test-wine10 build bootstrap dist signing-check package bench fuzz clean

FUZZ_SECONDS ?= 180

bootstrap:
	@tools/bootstrap.sh

build: bootstrap
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	cmake --preset win64 >/dev/null
	cmake --build --preset win64
	cmake --preset host >/dev/null
	cmake --build --preset host
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

# The Windows test programs and the label scripts again under Wine 10,
# which takes other branches of the label store (POSIX deletes).
WINE10_TESTS = ^wine\.|^script\.(label_edges|painted_zbar)_test$$

test: build
	@rm -f build/not-run.txt
	ctest --preset host -j2
	ctest --preset win32 -j2
	ctest --preset win64 -j2
	ctest --preset fuzz -j2
	@$(MAKE) --no-print-directory test-wine10
	@tools/wine-servers.sh
	@if [ -s build/not-run.txt ]; then \
	  echo "make test: $$(wc -l <build/not-run.txt) rows or runs did not run on this machine (build/not-run.txt):"; \
	  cat build/not-run.txt; else echo "make test: every row ran"; fi

# Not run where the machine cannot make or enter the chroot: said by name,
# and written to build/not-run.txt, which CI refuses.
test-wine10:
	@if tools/wine10.sh make 2>build/wine10-why.txt && tools/wine10.sh ready 2>build/wine10-why.txt; then \
	  QELV_WINE=10 ctest --preset win32 -j2 -R '$(WINE10_TESTS)' && \
	  QELV_WINE=10 ctest --preset win64 -j2 -R '$(WINE10_TESTS)'; \
	else sed 's/^NOT RUN: //' build/wine10-why.txt | tee -a build/not-run.txt; fi

demo: build
	tools/demo.sh

# Figures to read, not a test: the encoders against libzint natively, then
# each barcode export against a plain write of its bytes under Wine, for
# the x86 and the x64 DLL.
bench: build
	cmake --preset bench >/dev/null
	cmake --build --preset bench --target encoders_bench
	build/bench/bench/encoders_bench --benchmark_format=json | python3 bench/ratios.py
	cmake --build --preset win32 --target export_bench
	cmake --build --preset win64 --target export_bench
	tools/bench_exports.sh win32 win64

# Each fuzz target for FUZZ_SECONDS (make test gives each 10 seconds).
fuzz: build
	for target in build/fuzz/tests/fuzz/*_fuzz; do \
	  name=$$(basename $$target); \
	  $$target -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    build/fuzz/tests/fuzz/corpus/$$name tests/fuzz/corpus/$$name || exit 1; \
	done

# The release archive of the commit checked out, after every test:
#   make dist [SIGN_PFX=cert.pfx SIGN_PASS_FILE=pass.txt [SIGN_TIMESTAMP_URL=url]]
# A certificate that cannot be used stops it before the tests. The SIGN_*
# variables reach the tests too (make passes its command line on), and the
# archive test sets them aside: it compares unsigned builds.
dist: signing-check test package

signing-check:
	@tools/sign.sh --check

# The archive alone, without running the tests first.
package: signing-check
	tools/dist.sh build/dist

clean:
	@tools/wine-servers.sh
	rm -rf build
