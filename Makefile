# make run   installs what is missing, builds, and starts ORBEN
# make test  installs what is missing, builds, and runs every test
# make bench installs what is missing, builds, and runs the benchmarks
# make pictures installs what is missing, builds, and redraws docs/orben.png
#               and docs/orben_windows.png from the real windows
# make deb    installs what is missing, builds, and makes the Debian package
#              $(BUILD)/orben_VERSION_ARCH.deb (CPack)
# make deb-check also installs that package, runs it and removes it
# make docs  installs what is missing, builds, and renews every picture under
#            docs/: the README's (orben_screens, orben_gallery) and the user
#            guide's docs/guide/*.png (orben_guide_pictures)
# make sanitize installs what is missing, then builds and runs every test with
#               AddressSanitizer and UBSan (the asan preset, in build-asan)
# make web   installs what is missing and builds the browser edition into
#            build-web/site (the wasm preset in build-wasm, then web/ with Vite)
# make web-run builds it and serves it on 127.0.0.1, printing the address
# make web-test builds it and runs the browser tests (Debian's chromium)
# make web-glyphs redraws web/public/pictures, the page's lamps, icons
#                 and glyphs, from the desktop's drawing
# make web-picture builds it and redraws docs/orben_web.png from the page
# make bench-web builds it and prints its figures: load time, sizes, the
#                machine's rate in the page against $(BUILD)'s native one
#                (when built), the timed run's rate at Rápida
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DORBEN_WERROR=ON

WEB_PORT ?= 8080

.PHONY: deps configure build run test sanitize bench pictures docs deb deb-check clean web web-run web-test web-glyphs web-picture bench-web

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/orben

test: build web
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd web && npm test

# The page's npm packages, as package-lock.json pins them.
web/node_modules/.package-lock.json: web/package.json web/package-lock.json
	cd web && npm ci --no-audit --no-fund
	@touch $@

web: deps web/node_modules/.package-lock.json
	@cmake --preset wasm > /dev/null
	NODE_PATH=/usr/share/nodejs cmake --build --preset wasm -j $(JOBS)
	cd web && npm run build

web-run: web
	node web/tools/serve.mjs build-web/site $(WEB_PORT)

web-test: web
	cd web && npm test

web-glyphs: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/orben_web_pictures web/public/pictures

web-picture: web
	node web/tools/picture.mjs build-web/site docs/orben_web.png

bench-web: web
	node web/bench/page_bench.mjs $(BUILD)

sanitize: deps
	@cmake --preset asan > /dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: build
	$(BUILD)/bench/tuka2_bench
	$(BUILD)/bench/fast_run_bench
	$(BUILD)/bench/debug_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/orben_gui_bench

deb: build
	cd $(BUILD) && cpack -G DEB

deb-check: build
	tools/deb-check.sh $(BUILD)

pictures: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/orben_screens docs

docs: pictures
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/orben_guide_pictures docs/guide
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/orben_gallery $(BUILD)/pictures
	cp $(BUILD)/pictures/display.png $(BUILD)/pictures/hex_editor.png docs/

clean:
	rm -rf $(BUILD) build-wasm build-web
