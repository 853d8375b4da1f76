# The two commands a newcomer runs. Each first installs what is missing.
.PHONY: demo test build bootstrap dist bench clean

bootstrap:
	@tools/bootstrap.sh

build: bootstrap
	cmake --preset win32 >/dev/null
	cmake --build --preset win32
	cmake --preset host >/dev/null
	cmake --build --preset host

test: build
	ctest --preset host -j2
	ctest --preset win32 -j2

demo: build
	tools/demo.sh

# Figures to read, not a test: the encoders against libzint natively, then
# each barcode export against a plain write of its bytes under Wine.
bench: build
	cmake --preset bench >/dev/null
	cmake --build --preset bench --target encoders_bench
	build/bench/bench/encoders_bench --benchmark_format=json | python3 bench/ratios.py
	cmake --build --preset win32 --target export_bench
	d=$$(mktemp -d) && cd "$$d" && "$(CURDIR)/tools/wine-run.sh" "$(CURDIR)/build/win32/export_bench.exe"; \
	  status=$$?; rm -rf "$$d"; exit $$status

dist: build
	cmake --install build/win32 --prefix build/dist

clean:
	rm -rf build
