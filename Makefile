# The two commands a newcomer runs. Each first installs what is missing.
.PHONY: demo test build bootstrap dist clean

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

dist: build
	cmake --install build/win32 --prefix build/dist

clean:
	rm -rf build
